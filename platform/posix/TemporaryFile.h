#pragma once

#include <optional>
#include <string>

#include "platform/posix/FileDescriptor.h"

namespace tessaro {

// A hidden file ".<name>.XXXXXX" beside a target path, where new content is prepared
// before it takes the target's name. Unless it was put in place, it is removed when
// its owner goes, so no failure leaves it behind.
class TemporaryFile {
public:
    // Nothing, with errno set, when the file cannot be created (mode 0600, as mkstemp
    // makes it).
    static std::optional<TemporaryFile> createBeside(const std::string& targetPath);

    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    const std::string& path() const { return m_path; }
    const std::string& folder() const { return m_folder; }
    const FileDescriptor& descriptor() const { return m_descriptor; }

    // The file now lives under another name and is no longer ours to remove.
    void markPlaced() { m_placed = true; }

private:
    TemporaryFile(std::string folder, std::string path, FileDescriptor descriptor);

    std::string m_folder;
    std::string m_path;
    FileDescriptor m_descriptor;
    bool m_placed = false;
};

}
