#include "platform/curl/DownloadBodyFile.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/ProcessUmask.h"

namespace tessaro {

namespace {

constexpr size_t bufferBytes = 1024 * 1024;

std::string errorText(int error)
{
    return std::generic_category().message(error);
}

std::string temporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

}

DownloadBodyFile::~DownloadBodyFile()
{
    m_stream.reset();
    if (!m_filePath.empty())
        ::unlink(m_filePath.c_str());
}

std::optional<std::string> DownloadBodyFile::create()
{
    const std::string folder = temporaryFolder();
    std::string name = folder + "/tessaro-download-XXXXXX";
    // Close-on-exec: the web view's helper processes must not inherit the download.
    const int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0)
        return "could not create a temporary file in " + folder + ": " + errorText(errno);
    m_filePath = std::move(name);
    m_stream.reset(::fdopen(descriptor, "wb"));
    if (!m_stream) {
        const int error = errno;
        ::close(descriptor);
        return "could not write the temporary file " + m_filePath + ": " + errorText(error);
    }
    m_buffer.resize(bufferBytes);
    std::setvbuf(m_stream.get(), m_buffer.data(), _IOFBF, m_buffer.size());
    return std::nullopt;
}

std::optional<std::string> DownloadBodyFile::append(std::string_view data)
{
    if (std::fwrite(data.data(), 1, data.size(), m_stream.get()) != data.size())
        return "could not write the temporary file " + m_filePath + ": " + errorText(errno);
    return std::nullopt;
}

std::optional<std::string> DownloadBodyFile::close()
{
    // mkostemp made the file private while it filled; it is handed on as the student's
    // file, with the permissions any file they create gets.
    ::fchmod(::fileno(m_stream.get()), 0666 & ~processUmask());
    errno = 0;
    if (std::fclose(m_stream.release()) != 0)
        return "could not write the temporary file " + m_filePath + ": " + errorText(errno);
    return std::nullopt;
}

}
