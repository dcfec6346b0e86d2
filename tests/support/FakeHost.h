#pragma once

#include <algorithm>
#include <functional>
#include <optional>

#include "platform/Host.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FakeWebView.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/VirtualClock.h"

namespace tessaro::testing {

// The whole host in memory, with a virtual clock, recording what the core asks of it.
// The services without state of their own are the host's own operations.
class FakeHost final : public Host,
                       public Application,
                       public Pasteboard,
                       public Screens,
                       public Alert,
                       public ScreenCasts,
                       public RunningApplicationScans,
                       public SystemInfo,
                       public FileChooser,
                       public Resources {
public:
    Application& application() override { return *this; }
    MainQueue& mainQueue() override { return clock; }
    Timers& timers() override { return clock; }
    Pasteboard& pasteboard() override { return *this; }
    StandardOutput& standardOutput() override { return output; }
    Screens& screens() override { return *this; }
    Alert& alert() override { return *this; }
    RunningApplications& runningApplications() override { return applications; }
    ScreenCasts& screenCasts() override { return *this; }
    RunningApplicationScans& runningApplicationScans() override { return *this; }
    SystemInfo& systemInfo() override { return *this; }
    PowerSources& powerSources() override { return power; }
    HttpClient& httpClient() override { return http; }
    Files& files() override { return disk; }
    FileChooser& fileChooser() override { return *this; }
    Resources& resources() override { return *this; }
    std::unique_ptr<WebView> createWebView() override
    {
        auto view = std::make_unique<FakeWebView>();
        webView = view.get();
        return view;
    }

    int run(ApplicationEvents&) override { return 0; }
    void terminate() override { calls.emplace_back("application.terminate"); }
    void exitNow(int status) override { calls.push_back("application.exitNow " + std::to_string(status)); }
    void clearContents() override { calls.emplace_back("pasteboard.clearContents"); }
    int count() override
    {
        calls.emplace_back("screens.count");
        return screenCount;
    }
    bool hasMainScreen() override { return mainScreen; }
    // The student presses the alert's button at once: the clock stands still meanwhile.
    void runModal(const AlertContent& content) override
    {
        calls.push_back("alert " + content.messageText);
        alerts.push_back(content);
    }
    std::vector<std::string> activeScreenCasts() override
    {
        calls.emplace_back("activeScreenCasts");
        return casts;
    }
    // Each scan takes scanSeconds and lists the applications as they were when it began.
    void scan(std::function<void(std::vector<RunningApplication>)> done) override
    {
        clock.schedule(scanSeconds, false, [list = applications.runningApplications(), done]() { done(list); });
    }
    OperatingSystemVersion operatingSystemVersion() override { return systemVersion; }
    std::string applicationVersion() override { return appVersion; }
    void chooseOneFile(std::function<void(std::optional<std::string>)> done) override { choosers.push_back(done); }
    std::string errorPageAddress() override { return "resource:///org/tessaro/Tessaro/error.html"; }

    // How often the call log holds the entry.
    std::size_t timesCalled(const std::string& entry) const { return std::ranges::count(calls, entry); }

    CallLog calls;
    VirtualClock clock { calls };
    FakeStandardOutput output { calls };
    FakeRunningApplications applications { calls };
    FakePowerSources power;
    FakeHttpClient http;
    FakeFiles disk { calls };
    FakeWindow window { calls };
    // The web view the core made; owned by the core.
    FakeWebView* webView = nullptr;

    int screenCount = 1;
    bool mainScreen = true;
    std::vector<AlertContent> alerts;
    std::vector<std::string> casts;
    double scanSeconds = 0;
    OperatingSystemVersion systemVersion { 6, 1, 0 };
    std::string appVersion = "1.0.0";
    // The open choosers' completions, oldest first.
    std::vector<std::function<void(std::optional<std::string>)>> choosers;
};

}
