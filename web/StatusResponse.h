#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace tessaro {

// The service's status document: whether clients go to the fallback site, and where
// that site is: the members "routing" and "fallback_domain", both text.
struct Response {
    std::string routing;
    std::string fallbackDomain;
};

struct DecodingError {
    std::string description;
};

// Decodes strictly: a body that is not JSON, not an object, or lacks either member as
// text is invalid as a whole. Other members are ignored.
std::variant<Response, DecodingError> decodeResponse(std::string_view body);

}
