#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace tessaro {

// Sole owner of an open file descriptor; closes it when it goes. The transfer loops
// carry on over partial transfers and interrupted calls, so a signal or a short write
// never loses bytes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) noexcept;
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    // An invalid descriptor, with errno set, when the file cannot be opened.
    static FileDescriptor open(const std::string& path, int flags, mode_t mode = 0);

    bool valid() const { return m_descriptor >= 0; }
    int get() const { return m_descriptor; }

    // False with errno set on failure.
    bool writeAll(std::string_view bytes) const;
    // Appends everything up to the end of the file; false with errno set on failure.
    bool readAll(std::string& into) const;
    // Reads to the end, handing each chunk on; false when a read fails or the sink
    // refuses a chunk.
    bool readChunks(const std::function<bool(std::string_view)>& sink) const;

private:
    void reset() noexcept;

    int m_descriptor = -1;
};

}
