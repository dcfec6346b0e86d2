#include "common/MessageBody.h"

namespace tessaro {

namespace {

bool nestsWithin(std::string_view json, int limit)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return false;
        } else if (c == ']' || c == '}')
            --depth;
    }
    return true;
}

}

nlohmann::json messageBodyFromJSON(std::string_view json)
{
    if (!nestsWithin(json, maximumMessageDepth))
        return nullptr;
    auto value = nlohmann::json::parse(json, nullptr, false);
    if (value.is_discarded())
        return nullptr;
    return value;
}

}
