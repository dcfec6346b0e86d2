#include "platform/posix/PosixFileOperations.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/ErrorText.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/ProcessUmask.h"
#include "platform/posix/TemporaryFile.h"

namespace tessaro {

namespace {

// Both read errno, so they come straight after the failing call.
FileError moveError(const std::string& from, const std::string& to)
{
    const std::string reason = errorText(errno);
    return { "Could not move \"" + from + "\" to \"" + to + "\": " + reason };
}

FileError saveError(const std::string& path)
{
    const std::string reason = errorText(errno);
    return { "Could not save \"" + path + "\": " + reason };
}

// Gives the file its new name unless that name is taken; false with errno set. Both
// ways fail with EEXIST onto an existing name and then change nothing.
bool renameWithoutReplacing(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // Older kernels and some file systems (network, FUSE) lack the flag.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    if (::unlink(from.c_str()) == 0)
        return true;
    const int unlinkErrno = errno;
    ::unlink(to.c_str());
    errno = unlinkErrno;
    return false;
}

bool copyBytes(const FileDescriptor& source, const FileDescriptor& destination)
{
    return source.readChunks([&destination](std::string_view chunk) { return destination.writeAll(chunk); });
}

// A rename cannot cross file systems, so the bytes travel into the destination's
// folder first, under a hidden name; only a complete, synced copy takes the final name.
std::optional<FileError> moveAcrossFileSystems(const std::string& from, const std::string& to)
{
    const FileDescriptor source = FileDescriptor::open(from, O_RDONLY);
    if (!source.valid())
        return moveError(from, to);
    struct stat status { };
    if (::fstat(source.get(), &status) != 0)
        return moveError(from, to);
    if (!S_ISREG(status.st_mode)) {
        // Only a regular file's content can be carried over; anything else keeps the
        // rename's own answer.
        errno = EXDEV;
        return moveError(from, to);
    }
    auto copy = TemporaryFile::createBeside(to);
    if (!copy)
        return moveError(from, to);
    if (!copyBytes(source, copy->descriptor()) || ::fchmod(copy->descriptor().get(), status.st_mode & 07777) != 0
        || ::fsync(copy->descriptor().get()) != 0 || !renameWithoutReplacing(copy->path(), to)) {
        return moveError(from, to);
    }
    copy->markPlaced();
    if (::unlink(from.c_str()) != 0) {
        // A move that cannot remove its source did not happen: take the copy back.
        const auto error = moveError(from, to);
        ::unlink(to.c_str());
        return error;
    }
    return std::nullopt;
}

// Writes the text piece by piece; false with errno set, EILSEQ when the text itself
// could not be read.
bool writeText(const FileDescriptor& file, const PageText& content)
{
    bool written = true;
    const bool read = content([&file, &written](std::string_view piece) { return written = file.writeAll(piece); });
    if (!read && written)
        errno = EILSEQ;
    return read && written;
}

}

std::optional<FileError> moveFileWithoutReplacing(const std::string& from, const std::string& to)
{
    if (renameWithoutReplacing(from, to))
        return std::nullopt;
    if (errno == EXDEV)
        return moveAcrossFileSystems(from, to);
    return moveError(from, to);
}

std::optional<FileError> writeFileAtomically(const std::string& path, const PageText& content)
{
    auto replacement = TemporaryFile::createBeside(path);
    if (!replacement)
        return saveError(path);
    const int descriptor = replacement->descriptor().get();
    // mkstemp makes the file private; a saved file gets the permissions any newly
    // created file of the user would get.
    if (::fchmod(descriptor, 0666 & ~processUmask()) != 0 || !writeText(replacement->descriptor(), content)
        || ::fsync(descriptor) != 0 || ::rename(replacement->path().c_str(), path.c_str()) != 0) {
        return saveError(path);
    }
    replacement->markPlaced();
    // The new content is in place once the rename returns. Syncing the folder only
    // makes the new name survive a power cut; some file systems refuse it, and that
    // does not undo the save.
    const FileDescriptor folder = FileDescriptor::open(replacement->folder(), O_RDONLY | O_DIRECTORY);
    if (folder.valid())
        ::fsync(folder.get());
    return std::nullopt;
}

}
