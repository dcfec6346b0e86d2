#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "common/MessageBody.h"
#include "platform/Host.h"
#include "platform/Window.h"
#include "tests/support/FakeServices.h"

namespace tessaro::testing {

class FakeWindow final : public Window, Recorder {
public:
    using Recorder::Recorder;

    void setDelegate(WindowDelegate& delegate) override { m_delegate = &delegate; }
    void addSubview(WebView& webView) override { subview = &webView; }
    void fillScreen() override { record("window.fillScreen"); }
    void enterFullScreen(std::function<void(bool locked)> done) override
    {
        record("window.enterFullScreen");
        m_pendingFullScreen = std::move(done);
        if (immediateFullScreenAnswer)
            answerFullScreen(*immediateFullScreenAnswer);
    }
    bool excludeFromCapture() override
    {
        record("window.excludeFromCapture");
        return false;
    }

    // Shows the window (the platform's map), gives it the keyboard focus.
    void appear() { m_delegate->viewDidAppear(); }
    void becomeKey() { m_delegate->windowDidBecomeKey(); }
    // What the window manager did: the window active or not, full screen or not.
    void changeState(WindowState state) { m_delegate->windowDidChangeState(state); }
    // Answers the pending full-screen request as the window manager would.
    void answerFullScreen(bool locked) { std::exchange(m_pendingFullScreen, nullptr)(locked); }

    // When set, full-screen requests are answered at once with this.
    std::optional<bool> immediateFullScreenAnswer = true;
    WebView* subview = nullptr;

private:
    WindowDelegate* m_delegate = nullptr;
    std::function<void(bool)> m_pendingFullScreen;
};

class FakeOpenPanelRequest final : public OpenPanelRequest {
public:
    void answer(std::optional<std::string> chosenFile) override { answers.push_back(std::move(chosenFile)); }
    std::vector<std::optional<std::string>> answers;
};

class FakeWebView final : public WebView {
public:
    void setCustomUserAgent(const std::string& agent) override { userAgent = agent; }
    void startEngine() override { engineStartedWith = userAgent; }
    void setPolicy(WebViewPolicy& newPolicy) override { policy = &newPolicy; }
    void setNavigationDelegate(NavigationDelegate& delegate) override { m_navigationDelegate = &delegate; }
    void setUIDelegate(UIDelegate& delegate) override { m_uiDelegate = &delegate; }
    void addScriptMessageHandler(ScriptMessageHandler& handler, const std::string& name) override
    {
        m_handlers[name] = &handler;
        handlerNames.push_back(name);
    }
    void load(const std::string& address) override { loads.push_back(address); }
    void evaluateJavaScript(const std::string& script) override { scripts.push_back(script); }
    void setPressureConfiguration(PressureBehavior behavior) override { pressureConfigurations.push_back(behavior); }

    // What a page can do: post under a name (delivered only when a handler has that
    // name), commit, finish or fail a navigation, end its process, ask for a file.
    bool postMessage(const std::string& name, MessageBody body)
    {
        const auto handler = m_handlers.find(name);
        if (handler == m_handlers.end())
            return false;
        handler->second->didReceiveScriptMessage(name, std::move(body));
        return true;
    }
    void commitNavigation(const std::string& address) { m_navigationDelegate->didCommitNavigation(address); }
    void finishNavigation() { m_navigationDelegate->didFinishNavigation(); }
    void failNavigation(const std::string& address, const std::string& error)
    {
        m_navigationDelegate->didFailNavigation(address, error);
    }
    void endWebProcess(WebProcessEnd reason) { m_navigationDelegate->webProcessDidEnd(reason); }
    std::shared_ptr<FakeOpenPanelRequest> requestFile()
    {
        auto request = std::make_shared<FakeOpenPanelRequest>();
        m_uiDelegate->runOpenPanel(request);
        return request;
    }

    std::string userAgent;
    std::optional<std::string> engineStartedWith;
    std::vector<std::string> loads;
    std::vector<std::string> scripts;
    // The names the page can post under, in the order they were registered.
    std::vector<std::string> handlerNames;
    std::vector<PressureBehavior> pressureConfigurations;
    WebViewPolicy* policy = nullptr;

private:
    NavigationDelegate* m_navigationDelegate = nullptr;
    UIDelegate* m_uiDelegate = nullptr;
    std::map<std::string, ScriptMessageHandler*> m_handlers;
};

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
    void terminateOnSignal(QuitSignal signal) override
    {
        calls.emplace_back("application.terminateOnSignal");
        endingSignal = signal;
    }
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

    std::optional<QuitSignal> endingSignal;
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
