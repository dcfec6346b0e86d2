#include "platform/posix/FileDescriptor.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace tessaro {

FileDescriptor::FileDescriptor(int descriptor) noexcept
    : m_descriptor(descriptor)
{
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        reset();
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor()
{
    reset();
}

void FileDescriptor::reset() noexcept
{
    if (m_descriptor < 0)
        return;
    // Closing happens on the way out of failures too; the caller's errno must survive it.
    const int savedErrno = errno;
    ::close(m_descriptor);
    m_descriptor = -1;
    errno = savedErrno;
}

FileDescriptor FileDescriptor::open(const std::string& path, int flags, mode_t mode)
{
    int descriptor;
    do {
        descriptor = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (descriptor < 0 && errno == EINTR);
    return FileDescriptor(descriptor);
}

bool FileDescriptor::writeAll(std::string_view bytes) const
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool FileDescriptor::readChunks(const std::function<bool(std::string_view)>& sink) const
{
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(m_descriptor, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (count == 0)
            return true;
        if (!sink(std::string_view(buffer, static_cast<size_t>(count))))
            return false;
    }
}

bool FileDescriptor::readAll(std::string& into) const
{
    return readChunks([&into](std::string_view chunk) {
        into.append(chunk);
        return true;
    });
}

}
