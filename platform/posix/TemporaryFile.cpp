#include "platform/posix/TemporaryFile.h"

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace tessaro {

namespace {

// A file name may hold 255 bytes; the hidden name adds a dot and ".XXXXXX".
constexpr std::size_t longestKeptName = 255 - 8;

}

std::optional<TemporaryFile> TemporaryFile::createBeside(const std::string& targetPath)
{
    const auto slash = targetPath.rfind('/');
    std::string folder;
    std::string name;
    if (slash == std::string::npos) {
        folder = ".";
        name = targetPath;
    } else {
        folder = slash == 0 ? "/" : targetPath.substr(0, slash);
        name = targetPath.substr(slash + 1);
    }
    if (name.size() > longestKeptName)
        name.resize(longestKeptName);
    std::string pattern = targetPath.substr(0, slash == std::string::npos ? 0 : slash + 1);
    pattern += "." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // Close-on-exec: the web engine starts helper processes at any time, and none of
    // them may inherit a file that is still being written.
    const int descriptor = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    return TemporaryFile(std::move(folder), std::string(buffer.data()), FileDescriptor(descriptor));
}

TemporaryFile::TemporaryFile(std::string folder, std::string path, FileDescriptor descriptor)
    : m_folder(std::move(folder))
    , m_path(std::move(path))
    , m_descriptor(std::move(descriptor))
{
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : m_folder(std::move(other.m_folder))
    , m_path(std::move(other.m_path))
    , m_descriptor(std::move(other.m_descriptor))
    , m_placed(std::exchange(other.m_placed, true))
{
}

TemporaryFile::~TemporaryFile()
{
    if (m_placed)
        return;
    const int savedErrno = errno;
    ::unlink(m_path.c_str());
    errno = savedErrno;
}

}
