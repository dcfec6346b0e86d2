#pragma once

#include <memory>
#include <string>

#include "platform/MachineServices.h"
#include "platform/linux/LinuxFiles.h"
#include "platform/linux/ProcRunningApplications.h"
#include "platform/linux/SysfsPowerSources.h"
#include "platform/linux/UnameSystemInfo.h"
#include "platform/linux/WorkerRunningApplicationScans.h"
#include "platform/pipewire/PipeWireScreenCasts.h"
#include "platform/posix/StdoutOutput.h"

namespace tessaro {

class CurlHttpClient;

// Linux: /proc for the running applications, /sys for the power supplies, the session's
// PipeWire for screen casts, libcurl for the program's own requests, the XDG Downloads
// folder for files.
class LinuxMachineServices final : public MachineServices {
public:
    LinuxMachineServices(MainQueue& mainQueue, const std::string& applicationVersion);
    ~LinuxMachineServices() override;
    LinuxMachineServices(const LinuxMachineServices&) = delete;
    LinuxMachineServices& operator=(const LinuxMachineServices&) = delete;

    StandardOutput& standardOutput() override { return m_standardOutput; }
    RunningApplications& runningApplications() override { return m_runningApplications; }
    ScreenCasts& screenCasts() override { return m_screenCasts; }
    RunningApplicationScans& runningApplicationScans() override { return *m_runningApplicationScans; }
    SystemInfo& systemInfo() override { return m_systemInfo; }
    PowerSources& powerSources() override { return m_powerSources; }
    HttpClient& httpClient() override;
    Files& files() override { return m_files; }
    void stopBackgroundWork() override;

private:
    StdoutOutput m_standardOutput;
    ProcRunningApplications m_runningApplications;
    PipeWireScreenCasts m_screenCasts;
    UnameSystemInfo m_systemInfo;
    SysfsPowerSources m_powerSources;
    LinuxFiles m_files;
    std::unique_ptr<WorkerRunningApplicationScans> m_runningApplicationScans;
    std::unique_ptr<CurlHttpClient> m_httpClient;
};

}
