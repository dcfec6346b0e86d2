#pragma once

#include <string_view>

#include <nlohmann/json.hpp>

namespace tessaro {

// How deeply a page message's arrays and objects may nest: deeper values would only be
// walked by recursion (writing a "log" line, for one), so they arrive as null.
constexpr int maximumMessageDepth = 256;

// A page message's body, from the JSON text the web view gives for it. Text that is not
// JSON, and values nested deeper than the program will ever walk, arrive as null.
nlohmann::json messageBodyFromJSON(std::string_view json);

}
