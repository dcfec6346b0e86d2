#include "platform/linux/UnameSystemInfo.h"

#include <limits>
#include <utility>

#include <sys/utsname.h>

namespace tessaro {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}

OperatingSystemVersion parseKernelRelease(std::string_view release)
{
    long parts[3] = { 0, 0, 0 };
    std::size_t position = 0;
    for (long& part : parts) {
        if (position >= release.size() || !isDigit(release[position]))
            break;
        constexpr long largest = std::numeric_limits<long>::max();
        for (; position < release.size() && isDigit(release[position]); ++position) {
            const long digit = release[position] - '0';
            part = part > (largest - digit) / 10 ? largest : part * 10 + digit;
        }
        if (position >= release.size() || release[position] != '.')
            break;
        ++position;
    }
    return { parts[0], parts[1], parts[2] };
}

UnameSystemInfo::UnameSystemInfo(std::string applicationVersion)
    : m_applicationVersion(std::move(applicationVersion))
{
}

OperatingSystemVersion UnameSystemInfo::operatingSystemVersion()
{
    struct utsname names { };
    if (::uname(&names) != 0)
        return {};
    return parseKernelRelease(names.release);
}

std::string UnameSystemInfo::applicationVersion()
{
    return m_applicationVersion;
}

}
