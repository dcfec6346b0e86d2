#pragma once

#include <nlohmann/json.hpp>

typedef struct _JSCValue JSCValue;

namespace tessaro {

// The page's value as a value tree, read through its JSON text. undefined, values JSON
// cannot hold and values nested deeper than the program will walk all arrive as null.
nlohmann::json scriptMessageBody(JSCValue* value);

// The JSON text's value, or null when it is not JSON or nests too deeply.
nlohmann::json valueTreeFromJSON(std::string_view json);

}
