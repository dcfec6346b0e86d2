#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Addresses, parsed and composed by the platform's URL library: pure functions.
namespace tessaro::url {

// Whether the text is a valid absolute address.
bool isValid(std::string_view text);

// The address's scheme in lower case; nothing when the text is not an address.
std::optional<std::string> scheme(std::string_view text);

// The address's path split as a path is: "/" first for an absolute path, then one
// component per non-empty segment, percent-escapes decoded. Nothing when the text is
// not an address.
std::optional<std::vector<std::string>> pathComponents(std::string_view text);

// The text percent-encoded for use as a query value: letters, digits and "-._~" stay.
std::string encodeQueryValue(std::string_view text);

// The file: address of an absolute path, percent-encoded as an address has it.
std::string fileAddress(std::string_view absolutePath);

}
