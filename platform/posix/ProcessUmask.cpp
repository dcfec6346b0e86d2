#include "platform/posix/ProcessUmask.h"

#include <charconv>
#include <mutex>
#include <string_view>

#include <sys/stat.h>

#include "platform/posix/FileContents.h"

namespace tessaro {

namespace {

constexpr std::string_view umaskKey = "\nUmask:";

}

mode_t processUmask()
{
    if (const auto status = readFileContents("/proc/self/status")) {
        const auto key = status->find(umaskKey);
        if (key != std::string::npos) {
            const char* begin = status->data() + key + umaskKey.size();
            const char* end = status->data() + status->size();
            while (begin != end && (*begin == ' ' || *begin == '\t'))
                ++begin;
            unsigned value = 0;
            if (std::from_chars(begin, end, value, 8).ec == std::errc())
                return static_cast<mode_t>(value & 0777);
        }
    }
    // Without /proc the only way to read the mask is to set it and put it back; the
    // lock keeps our own readers from seeing each other's temporary zero.
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}
