#include "platform/posix/FileContents.h"

#include <fcntl.h>

#include "platform/posix/FileDescriptor.h"

namespace tessaro {

std::optional<std::string> readFileContents(const std::string& path)
{
    const FileDescriptor file = FileDescriptor::open(path, O_RDONLY);
    if (!file.valid())
        return std::nullopt;
    std::string content;
    if (!file.readAll(content))
        return std::nullopt;
    return content;
}

}
