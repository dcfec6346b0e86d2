#include "platform/linux/LinuxFiles.h"

#include <utility>

#include "platform/posix/PosixFileOperations.h"

namespace tessaro {

LinuxFiles::LinuxFiles(XdgDownloadsFolder downloads)
    : m_downloads(std::move(downloads))
{
}

PathOrError LinuxFiles::downloadsFolder()
{
    return m_downloads.locate();
}

std::optional<FileError> LinuxFiles::moveWithoutReplacing(const std::string& from, const std::string& to)
{
    return moveFileWithoutReplacing(from, to);
}

std::optional<FileError> LinuxFiles::writeAtomically(const std::string& path, const PageText& content)
{
    return writeFileAtomically(path, content);
}

}
