#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Alert.h"
#include "platform/RunningApplications.h"
#include "platform/ScreenCasts.h"

namespace tessaro {

class Application;
class Screens;

struct BlockedApplication {
    std::string_view bundleIdentifier;
    std::string_view reason;
};

// Screen-capture and remote-desktop tools, by application ID and by executable name,
// each compared whole and case-sensitively.
std::span<const BlockedApplication> blockedBundleIdentifiers();

// The alert that refuses the launch, naming each blocked application that runs (every
// instance on its own line, in the platform's order), then each application that shares
// a screen; nothing when neither is found.
std::optional<AlertContent> runningApplicationsAlert(const std::vector<RunningApplication>& applications,
                                                     const std::vector<std::string>& screenCasts = {});

AlertContent externalMonitorsAlert();

// Refuses to start while a blocked application runs anywhere on the machine, a screen is
// being shared, or more than one screen is attached: a modal alert, then the process
// ends with status 0.
class LaunchGate {
public:
    LaunchGate(RunningApplications&, ScreenCasts&, Screens&, Alert&, Application&);

    // Each returns whether the launch goes on; when it does not, the process is ending.
    bool checkRunningApplications();
    bool checkExternalMonitors();

private:
    void refuse(const AlertContent& alert);

    RunningApplications& m_runningApplications;
    ScreenCasts& m_screenCasts;
    Screens& m_screens;
    Alert& m_alert;
    Application& m_application;
};

}
