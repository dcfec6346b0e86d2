#pragma once

#include <string>
#include <string_view>

#include "platform/SystemInfo.h"

namespace tessaro {

// The leading dot-separated numbers of a kernel release ("6.1.0-18-amd64" is 6.1.0);
// missing parts are 0, and a number too large to hold stays at the largest one.
OperatingSystemVersion parseKernelRelease(std::string_view release);

// The running kernel's version stands for the operating system's.
class UnameSystemInfo final : public SystemInfo {
public:
    explicit UnameSystemInfo(std::string applicationVersion);

    OperatingSystemVersion operatingSystemVersion() override;
    std::string applicationVersion() override;

private:
    std::string m_applicationVersion;
};

}
