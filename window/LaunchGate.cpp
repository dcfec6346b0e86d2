#include "window/LaunchGate.h"

#include <algorithm>
#include <array>

#include "platform/Application.h"
#include "platform/Screens.h"
#include "window/ShownName.h"

namespace tessaro {

namespace {

constexpr std::array<BlockedApplication, 33> blockedApplications { {
    { "com.apple.screencaptureui", "the screen-capture interface of macOS" },
    { "com.google.chromeremotedesktop.me2me-host", "the host of a remote-desktop service" },
    { "chrome-remote-desktop-host", "the same remote-desktop host on Linux" },
    { "org.gnome.Screenshot", "GNOME's screenshot and screencast tool" },
    { "gnome-screenshot", "GNOME's screenshot tool started by executable" },
    { "org.kde.spectacle", "KDE's screenshot and recording tool" },
    { "spectacle", "KDE's screenshot tool started by executable" },
    { "com.obsproject.Studio", "a screen recorder and live streamer" },
    { "obs", "the same recorder started by executable" },
    { "simplescreenrecorder", "a screen recorder" },
    { "org.flameshot.Flameshot", "a screenshot tool" },
    { "flameshot", "the same screenshot tool started by executable" },
    { "org.ksnip.ksnip", "a screenshot tool" },
    { "ksnip", "the same screenshot tool started by executable" },
    { "com.uploadedlobster.peek", "a screen recorder for animated captures" },
    { "peek", "the same recorder started by executable" },
    { "io.github.seadve.Kooha", "a screen recorder" },
    { "kooha", "the same recorder started by executable" },
    { "vokoscreenNG", "a screen recorder" },
    { "x11vnc", "a VNC server that shares the running X display" },
    { "x0vncserver", "a VNC server that shares the running X display" },
    { "wayvnc", "a VNC server that shares a wlroots compositor's outputs, without PipeWire" },
    { "wf-recorder", "a screen recorder for wlroots compositors, without PipeWire" },
    { "gnome-remote-desktop-daemon", "GNOME's remote-desktop server" },
    { "org.kde.krfb", "KDE's desktop sharing server" },
    { "krfb", "the same sharing server started by executable" },
    { "com.teamviewer.TeamViewer", "a remote-control tool" },
    { "TeamViewer", "the same remote-control tool started by executable" },
    { "teamviewerd", "the same remote-control tool's service" },
    { "com.anydesk.Anydesk", "a remote-control tool" },
    { "anydesk", "the same remote-control tool started by executable" },
    { "com.rustdesk.RustDesk", "a remote-control tool" },
    { "rustdesk", "the same remote-control tool started by executable" },
} };

}

std::span<const BlockedApplication> blockedBundleIdentifiers()
{
    return blockedApplications;
}

std::optional<AlertContent> runningApplicationsAlert(const std::vector<RunningApplication>& applications,
                                                     const std::vector<std::string>& screenCasts)
{
    std::string names;
    const auto addLine = [&](const std::string& line) {
        if (!names.empty())
            names += '\n';
        names += line;
    };
    for (const auto& application : applications) {
        const bool blocked
            = application && std::ranges::any_of(blockedBundleIdentifiers(), [&](const BlockedApplication& entry) {
                  return entry.bundleIdentifier == application->bundleIdentifier;
              });
        if (blocked)
            addLine(shownName(application->name));
    }
    for (const auto& application : screenCasts)
        addLine("A screen is being shared: " + shownName(application));
    if (names.empty())
        return std::nullopt;
    return AlertContent {
        "Running applications need to be quit",
        "You need to close the following applications before launching Tessaro. Tessaro will now be quit.\n\n" + names,
        "Quit",
    };
}

AlertContent externalMonitorsAlert()
{
    return {
        "External monitors detected",
        "External monitors need to be disconnected before launching the application",
        "Quit",
    };
}

LaunchGate::LaunchGate(RunningApplications& runningApplications, ScreenCasts& screenCasts, Screens& screens,
                       Alert& alert, Application& application)
    : m_runningApplications(runningApplications)
    , m_screenCasts(screenCasts)
    , m_screens(screens)
    , m_alert(alert)
    , m_application(application)
{
}

bool LaunchGate::checkRunningApplications()
{
    const auto applications = m_runningApplications.everyProcess();
    const auto alert = runningApplicationsAlert(applications, m_screenCasts.activeScreenCasts());
    if (!alert)
        return true;
    refuse(*alert);
    return false;
}

bool LaunchGate::checkExternalMonitors()
{
    if (m_screens.count() < 2)
        return true;
    refuse(externalMonitorsAlert());
    return false;
}

void LaunchGate::refuse(const AlertContent& alert)
{
    m_alert.runModal(alert);
    m_application.exitNow(0);
}

}
