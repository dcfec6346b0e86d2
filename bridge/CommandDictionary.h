#pragma once

#include <map>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace tessaro {

using CommandDictionary = std::map<std::string, std::string>;

// A message body as a dictionary of text, all or nothing: only an object whose every
// member is text converts; an empty object converts to an empty dictionary. The texts
// are moved out of the body: a saved file's content is never copied whole.
std::optional<CommandDictionary> commandDictionary(nlohmann::json&& body);

// The text of one member, or null when the dictionary has none.
const std::string* member(const CommandDictionary& dictionary, const std::string& key);

}
