#include "tests/support/FakeFiles.h"

namespace tessaro::testing {

PathOrError FakeFiles::downloadsFolder()
{
    m_calls.add("files.downloadsFolder");
    return folder;
}

std::optional<FileError> FakeFiles::moveWithoutReplacing(const std::string& from, const std::string& to)
{
    m_calls.add("files.move " + from + " " + to);
    if (moveFailure)
        return moveFailure;
    if (!existing.insert(to).second)
        return FileError { "Could not move \"" + from + "\" to \"" + to + "\": File exists" };
    return std::nullopt;
}

std::optional<FileError> FakeFiles::writeAtomically(const std::string& path, const std::string& content)
{
    m_calls.add("files.write " + path);
    if (writeFailure)
        return writeFailure;
    written[path] = content;
    existing.insert(path);
    return std::nullopt;
}

}
