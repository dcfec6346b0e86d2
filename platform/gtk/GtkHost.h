#pragma once

#include <memory>
#include <string>

#include "platform/Host.h"
#include "platform/gtk/CompiledResources.h"
#include "platform/gtk/GdkPasteboard.h"
#include "platform/gtk/GdkScreens.h"
#include "platform/gtk/GlibMainQueue.h"
#include "platform/gtk/GtkAlert.h"
#include "platform/gtk/GtkApplicationShell.h"
#include "platform/gtk/GtkTimers.h"
#include "platform/gtk/NativeFileChooser.h"
#include "platform/linux/LinuxFiles.h"
#include "platform/linux/ProcRunningApplications.h"
#include "platform/linux/SysfsPowerSources.h"
#include "platform/linux/UnameSystemInfo.h"
#include "platform/linux/WorkerRunningApplicationScans.h"
#include "platform/pipewire/PipeWireScreenCasts.h"
#include "platform/posix/StdoutOutput.h"

namespace tessaro {

class CurlHttpClient;

// The Linux desktop: GTK 4 and WebKitGTK for what the student sees, /proc and /sys for
// machine facts, PipeWire for screen casts, libcurl for the program's own requests.
class GtkHost final : public Host {
public:
    GtkHost(int argc, char** argv, const std::string& applicationId, const std::string& applicationVersion);
    ~GtkHost() override;

    Application& application() override { return m_application; }
    MainQueue& mainQueue() override { return m_mainQueue; }
    Timers& timers() override { return m_timers; }
    Pasteboard& pasteboard() override { return m_pasteboard; }
    StandardOutput& standardOutput() override { return m_standardOutput; }
    Screens& screens() override { return m_screens; }
    Alert& alert() override { return m_alert; }
    RunningApplications& runningApplications() override { return m_runningApplications; }
    ScreenCasts& screenCasts() override { return m_screenCasts; }
    RunningApplicationScans& runningApplicationScans() override { return *m_runningApplicationScans; }
    SystemInfo& systemInfo() override { return m_systemInfo; }
    PowerSources& powerSources() override { return m_powerSources; }
    HttpClient& httpClient() override;
    Files& files() override { return m_files; }
    FileChooser& fileChooser() override { return m_fileChooser; }
    Resources& resources() override { return m_resources; }
    std::unique_ptr<WebView> createWebView() override;

private:
    // Stops the worker threads before anything its completions use goes away.
    void stopBackgroundWork();

    GlibMainQueue m_mainQueue;
    GtkTimers m_timers;
    GdkPasteboard m_pasteboard;
    StdoutOutput m_standardOutput;
    GdkScreens m_screens;
    GtkAlert m_alert;
    ProcRunningApplications m_runningApplications;
    PipeWireScreenCasts m_screenCasts;
    UnameSystemInfo m_systemInfo;
    SysfsPowerSources m_powerSources;
    std::unique_ptr<WorkerRunningApplicationScans> m_runningApplicationScans;
    std::unique_ptr<CurlHttpClient> m_httpClient;
    LinuxFiles m_files;
    CompiledResources m_resources;
    GtkApplicationShell m_application;
    NativeFileChooser m_fileChooser;
};

}
