#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaro {

// A name from the desktop (a process name, a PipeWire property) made fit for an alert:
// control characters and bytes that are not UTF-8 written as escapes, and anything
// beyond maxCharacters characters replaced by an ellipsis.
std::string shownName(std::string_view text, std::size_t maxCharacters = 64);

}
