#pragma once

#include <string>

#include "bridge/BatteryReport.h"
#include "bridge/MessageDispatcher.h"
#include "bridge/RunningApplicationReport.h"
#include "files/Downloads.h"
#include "files/SaveFile.h"
#include "files/UploadChooser.h"
#include "platform/WebView.h"
#include "platform/Window.h"
#include "web/Endpoints.h"
#include "web/ExamWebView.h"
#include "web/Launcher.h"
#include "web/StatusCheck.h"
#include "web/WebProcessRecovery.h"
#include "window/KioskLock.h"
#include "window/LaunchGate.h"

namespace tessaro {

class Host;

// The exam window's controller: it owns the exam web view, sets everything up around it
// when its view loads, locks the window when it is shown, and is the web view's
// navigation and UI delegate and the handler of the page's messages.
class ViewController final : public WindowDelegate,
                             public NavigationDelegate,
                             public UIDelegate,
                             public ScriptMessageHandler {
public:
    static constexpr double errorPageDelaySeconds = 30.0;
    static constexpr double statusCheckDelaySeconds = 1.0;

    // The key is kept by reference: a launch link may set it after the controller exists.
    ViewController(Host&, const Endpoints&, const std::string& examKey);
    ViewController(Host&, const Endpoints&, std::string&&) = delete;

    void loadView(Window& window);

    void viewDidAppear() override;
    void windowDidBecomeKey() override;
    void windowDidChangeState(WindowState state) override;
    void didCommitNavigation(const std::string& address) override;
    void didFinishNavigation() override;
    void didFailNavigation(const std::string& address, const std::string& errorText) override;
    void webProcessDidEnd(WebProcessEnd reason) override;
    void runOpenPanel(std::shared_ptr<OpenPanelRequest> request) override;
    void didReceiveScriptMessage(const std::string& name, MessageBody body) override;

    bool loadedSuccessfully() const { return m_launcher.loadedSuccessfully(); }

private:
    Host& m_host;
    Window* m_window = nullptr;
    bool m_hadKeyboardFocus = false;
    ExamWebView m_webView;
    LaunchGate m_launchGate;
    Launcher m_launcher;
    WebProcessRecovery m_webProcessRecovery;
    StatusCheck m_statusCheck;
    BatteryReport m_batteryReport;
    KioskLock m_kioskLock;
    RunningApplicationReport m_runningApplicationReport;
    SaveFile m_saveFile;
    Downloads m_downloads;
    UploadChooser m_uploadChooser;
    MessageDispatcher m_messageDispatcher;
};

}
