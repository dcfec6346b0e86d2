#include "bridge/CommandDictionary.h"

#include <nlohmann/json.hpp>

namespace tessaro {

std::optional<CommandDictionary> commandDictionary(nlohmann::json&& body)
{
    if (!body.is_object())
        return std::nullopt;
    for (const auto& [key, value] : body.items()) {
        if (!value.is_string())
            return std::nullopt;
    }
    CommandDictionary dictionary;
    for (auto& [key, value] : body.items())
        dictionary.emplace(key, std::move(value.get_ref<std::string&>()));
    return dictionary;
}

const std::string* member(const CommandDictionary& dictionary, const std::string& key)
{
    const auto found = dictionary.find(key);
    return found == dictionary.end() ? nullptr : &found->second;
}

}
