#pragma once

#include <memory>
#include <string>

#include "platform/Host.h"
#include "platform/MachineServices.h"
#include "platform/gtk/CompiledResources.h"
#include "platform/gtk/GdkPasteboard.h"
#include "platform/gtk/GdkScreens.h"
#include "platform/gtk/GlibMainQueue.h"
#include "platform/gtk/GtkAlert.h"
#include "platform/gtk/GtkApplicationShell.h"
#include "platform/gtk/GtkTimers.h"
#include "platform/gtk/NativeFileChooser.h"

namespace tessaro {

// The desktop on GTK 4 and WebKitGTK: what the student sees, the main loop, the
// clipboard and screens. The operating system's services are the machine's half, made
// for this host and handed out as its own.
class GtkHost final : public Host {
public:
    GtkHost(int argc, char** argv, const std::string& applicationId, const std::string& applicationVersion);
    ~GtkHost() override;
    GtkHost(const GtkHost&) = delete;
    GtkHost& operator=(const GtkHost&) = delete;

    Application& application() override { return m_application; }
    MainQueue& mainQueue() override { return m_mainQueue; }
    Timers& timers() override { return m_timers; }
    Pasteboard& pasteboard() override { return m_pasteboard; }
    Screens& screens() override { return m_screens; }
    Alert& alert() override { return m_alert; }
    FileChooser& fileChooser() override { return m_fileChooser; }
    Resources& resources() override { return m_resources; }
    std::unique_ptr<WebView> createWebView() override;

    StandardOutput& standardOutput() override { return m_machine->standardOutput(); }
    RunningApplications& runningApplications() override { return m_machine->runningApplications(); }
    ScreenCasts& screenCasts() override { return m_machine->screenCasts(); }
    RunningApplicationScans& runningApplicationScans() override { return m_machine->runningApplicationScans(); }
    SystemInfo& systemInfo() override { return m_machine->systemInfo(); }
    PowerSources& powerSources() override { return m_machine->powerSources(); }
    HttpClient& httpClient() override { return m_machine->httpClient(); }
    Files& files() override { return m_machine->files(); }

private:
    GlibMainQueue m_mainQueue;
    GtkTimers m_timers;
    GdkPasteboard m_pasteboard;
    GdkScreens m_screens;
    GtkAlert m_alert;
    std::unique_ptr<MachineServices> m_machine;
    CompiledResources m_resources;
    GtkApplicationShell m_application;
    NativeFileChooser m_fileChooser;
};

}
