#include "bridge/CommandDictionary.h"

#include <nlohmann/json.hpp>

namespace tessaro {

std::optional<CommandDictionary> commandDictionary(const nlohmann::json& body)
{
    if (!body.is_object())
        return std::nullopt;
    CommandDictionary dictionary;
    for (const auto& [key, value] : body.items()) {
        if (!value.is_string())
            return std::nullopt;
        dictionary.emplace(key, value.get<std::string>());
    }
    return dictionary;
}

std::optional<std::string> member(const CommandDictionary& dictionary, const std::string& key)
{
    const auto found = dictionary.find(key);
    if (found == dictionary.end())
        return std::nullopt;
    return found->second;
}

}
