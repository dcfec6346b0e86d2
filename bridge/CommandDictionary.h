#pragma once

#include <map>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace tessaro {

using CommandDictionary = std::map<std::string, std::string>;

// A message body as a dictionary of text, all or nothing: only an object whose every
// member is text converts; an empty object converts to an empty dictionary.
std::optional<CommandDictionary> commandDictionary(const nlohmann::json& body);

// The text of one member, when the dictionary has it.
std::optional<std::string> member(const CommandDictionary& dictionary, const std::string& key);

}
