#pragma once

#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/PowerSources.h"
#include "platform/RunningApplicationScans.h"
#include "platform/RunningApplications.h"
#include "platform/ScreenCasts.h"
#include "platform/StandardOutput.h"
#include "platform/SystemInfo.h"

namespace tessaro {

// What the program asks of the operating system rather than of the desktop toolkit:
// its processes, screen casts, power supplies and files, its own HTTP requests, the
// standard output.
class Machine {
public:
    virtual ~Machine() = default;
    virtual StandardOutput& standardOutput() = 0;
    virtual RunningApplications& runningApplications() = 0;
    virtual ScreenCasts& screenCasts() = 0;
    virtual RunningApplicationScans& runningApplicationScans() = 0;
    virtual SystemInfo& systemInfo() = 0;
    virtual PowerSources& powerSources() = 0;
    virtual HttpClient& httpClient() = 0;
    virtual Files& files() = 0;
};

}
