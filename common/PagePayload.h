#pragma once

#include <string>
#include <variant>

namespace tessaro {

// What the program sends the page: text, a Boolean or a single-precision number.
using PagePayload = std::variant<std::string, bool, float>;

}
