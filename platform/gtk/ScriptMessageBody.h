#pragma once

#include <nlohmann/json.hpp>

typedef struct _JSCValue JSCValue;

namespace tessaro {

// The page's value as a value tree, read through its JSON text. undefined and values
// JSON cannot hold arrive as null.
nlohmann::json scriptMessageBody(JSCValue* value);

}
