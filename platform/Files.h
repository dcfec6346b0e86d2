#pragma once

#include <optional>
#include <string>
#include <variant>

#include "common/PageText.h"

namespace tessaro {

struct FileError {
    std::string description;
};

// A path, or why there is none.
using PathOrError = std::variant<std::string, FileError>;

class Files {
public:
    virtual ~Files() = default;
    // The user's Downloads folder, looked up anew on every call and never created.
    // Callable from any thread.
    virtual PathOrError downloadsFolder() = 0;
    // Moves a file to a path that must not exist yet; never replaces anything, never
    // leaves a partial file under the destination's name. Callable from any thread.
    virtual std::optional<FileError> moveWithoutReplacing(const std::string& from, const std::string& to) = 0;
    // Replaces the file's content in one step: the path holds either its former
    // content or all of the new one, never a part of text that could not be read.
    virtual std::optional<FileError> writeAtomically(const std::string& path, const PageText& content) = 0;
};

}
