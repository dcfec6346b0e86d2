#pragma once

#include "platform/Host.h"
#include "tests/support/CallLog.h"
#include "tests/support/FakeFiles.h"
#include "tests/support/FakeHttpClient.h"
#include "tests/support/FakeRunningApplicationScans.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FakeWebView.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/VirtualClock.h"

namespace tessaro::testing {

// The whole host in memory, with a virtual clock, recording what the core asks of it.
class FakeHost final : public Host {
public:
    FakeHost();

    Application& application() override { return app; }
    MainQueue& mainQueue() override { return clock; }
    Timers& timers() override { return clock; }
    Pasteboard& pasteboard() override { return clipboard; }
    StandardOutput& standardOutput() override { return output; }
    Screens& screens() override { return displays; }
    Alert& alert() override { return alerts; }
    RunningApplications& runningApplications() override { return applications; }
    ScreenCasts& screenCasts() override { return casts; }
    RunningApplicationScans& runningApplicationScans() override { return scans; }
    SystemInfo& systemInfo() override { return system; }
    PowerSources& powerSources() override { return power; }
    HttpClient& httpClient() override { return http; }
    Files& files() override { return disk; }
    FileChooser& fileChooser() override { return chooser; }
    Resources& resources() override { return bundle; }
    std::unique_ptr<WebView> createWebView() override;

    CallLog calls;
    VirtualClock clock { calls };
    FakeApplication app { calls };
    FakePasteboard clipboard { calls };
    FakeStandardOutput output { calls };
    FakeScreens displays { calls };
    FakeAlert alerts { calls, clock };
    FakeRunningApplications applications { calls };
    FakeScreenCasts casts { calls };
    FakeRunningApplicationScans scans { applications, clock };
    FakeSystemInfo system;
    FakePowerSources power;
    FakeHttpClient http { calls };
    FakeFiles disk { calls };
    FakeFileChooser chooser { calls };
    FakeResources bundle;
    FakeWindow window { calls };
    // The web view the core made; owned by the core.
    FakeWebView* webView = nullptr;
};

}
