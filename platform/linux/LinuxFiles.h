#pragma once

#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/linux/XdgDownloadsFolder.h"

namespace tessaro {

// Files in the user's XDG Downloads folder, moved and written with the POSIX
// guarantees: nothing replaced by a move, nothing half-written by a save.
class LinuxFiles final : public Files {
public:
    explicit LinuxFiles(XdgDownloadsFolder downloads = XdgDownloadsFolder());

    PathOrError downloadsFolder() override;
    std::optional<FileError> moveWithoutReplacing(const std::string& from, const std::string& to) override;
    std::optional<FileError> writeAtomically(const std::string& path, const PageText& content) override;

private:
    XdgDownloadsFolder m_downloads;
};

}
