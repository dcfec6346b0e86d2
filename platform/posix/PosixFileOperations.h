#pragma once

#include <optional>
#include <string>

#include "platform/Files.h"

namespace tessaro {

// Moves a file to a name that must not exist yet. Nothing is ever replaced, no partial
// file ever shows under the destination's name, and on failure both names are as
// they were. A file on another file system is copied into the destination's folder
// first, under a hidden name that never outlives the call.
std::optional<FileError> moveFileWithoutReplacing(const std::string& from, const std::string& to);

// Replaces the file's content in one step: readers see either the former content or
// all of the new one, and a failed write leaves the former content untouched. The
// bytes are stored exactly as given.
std::optional<FileError> writeFileAtomically(const std::string& path, const PageText& content);

}
