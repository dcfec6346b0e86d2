#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace tessaro {

// What the program sends the page: text, a Boolean or a single-precision number.
using PagePayload = std::variant<std::string, bool, float>;

// The payload as the page receives it: the text itself, "true"/"false", or the
// shortest decimal that reads back as the same float, always with a decimal point.
std::string payloadText(const PagePayload& payload);

// The script that hands the page's message function the name and the payload text.
// Both are written as single-quoted string literals with everything escaped that could
// end or break one, so the page receives exactly the text, whatever it holds.
std::string composePageCall(std::string_view name, const PagePayload& payload);

}
