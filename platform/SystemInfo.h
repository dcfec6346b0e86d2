#pragma once

#include <string>

namespace tessaro {

struct OperatingSystemVersion {
    long majorVersion = 0;
    long minorVersion = 0;
    long patchVersion = 0;
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    virtual OperatingSystemVersion operatingSystemVersion() = 0;
    virtual std::string applicationVersion() = 0;
};

}
