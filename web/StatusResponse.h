#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace tessaro {

// The service's status document: whether clients go to the fallback site, and where
// that site is. Both members must be text.
struct Response {
    enum class CodingKeys { routing, fallback_domain };
    static std::string_view codingKeyName(CodingKeys key);

    std::string routing;
    std::string fallback_domain;
};

struct DecodingError {
    std::string description;
};

// Decodes strictly: a body that is not JSON, not an object, or lacks either member as
// text is invalid as a whole. Other members are ignored.
std::variant<Response, DecodingError> decodeResponse(std::string_view body);

}
