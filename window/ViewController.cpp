#include "window/ViewController.h"

#include <utility>

#include "bridge/PageMessage.h"
#include "common/MessageBody.h"
#include "platform/Host.h"
#include "window/UserAgent.h"

namespace tessaro {

ViewController::ViewController(Host& host, const Endpoints& endpoints, const std::string& examKey)
    : m_host(host)
    , m_webView(host.createWebView(), host.standardOutput())
    , m_launchGate(host.runningApplications(), host.screenCasts(), host.screens(), host.alert(), host.application())
    , m_launcher(m_webView, host.standardOutput(), host.resources(), examKey, endpoints.launchPageURL)
    , m_webProcessRecovery(m_webView, host.standardOutput(), host.timers(), host.resources(), m_launcher)
    , m_statusCheck(host.httpClient(), host.mainQueue(), host.standardOutput(), m_launcher, examKey,
                    endpoints.statusDocumentURL)
    , m_batteryReport(host.powerSources(), m_webView)
    , m_kioskLock(host.screens(), host.standardOutput(), host.timers(), m_batteryReport)
    , m_runningApplicationReport(host.runningApplicationScans(), host.mainQueue(), m_webView)
    , m_saveFile(host.files(), host.standardOutput(), m_webView)
    , m_downloads(host.httpClient(), host.files(), host.mainQueue(), host.standardOutput(), m_webView)
    , m_uploadChooser(host.fileChooser())
    , m_messageDispatcher({ host.standardOutput(), host.pasteboard(), host.application(), m_webView,
                            m_runningApplicationReport, m_saveFile, m_downloads },
                          host.mainQueue())
{
}

void ViewController::loadView(Window& window)
{
    m_window = &window;
    window.setDelegate(*this);

    if (!m_launchGate.checkRunningApplications())
        return;
    m_host.pasteboard().clearContents();
    WebView& view = m_webView.view();
    view.setCustomUserAgent(
        userAgent(m_host.systemInfo().operatingSystemVersion(), m_host.systemInfo().applicationVersion()));
    view.startEngine();
    m_host.timers().schedule(errorPageDelaySeconds, false, [this] { m_launcher.showErrorPageIfNotLoaded(); });
    m_host.timers().schedule(statusCheckDelaySeconds, false, [this] { m_statusCheck.checkStatus(); });
    window.addSubview(view);
    view.setNavigationDelegate(*this);
    view.setUIDelegate(*this);
    for (const auto& message : pageMessages())
        view.addScriptMessageHandler(*this, std::string(message.name));
    m_launchGate.checkExternalMonitors();
}

void ViewController::viewDidAppear()
{
    m_kioskLock.lockScreen(*m_window);
}

void ViewController::windowDidBecomeKey()
{
    // Wayland compositors ignore a selection change from a client without the keyboard
    // focus, so the emptying at launch may not have happened there.
    if (std::exchange(m_hadKeyboardFocus, true))
        return;
    m_host.pasteboard().clearContents();
}

void ViewController::windowDidChangeState(WindowState state)
{
    m_kioskLock.windowDidChangeState(*m_window, state);
}

void ViewController::didCommitNavigation(const std::string& address)
{
    m_webProcessRecovery.didCommitNavigation(address);
}

void ViewController::didFinishNavigation()
{
    m_launcher.didFinishNavigation();
}

void ViewController::didFailNavigation(const std::string& address, const std::string& errorText)
{
    m_launcher.didFailNavigation(address, errorText);
    m_webProcessRecovery.didFailNavigation();
}

void ViewController::webProcessDidEnd(WebProcessEnd reason)
{
    m_webProcessRecovery.webProcessDidEnd(reason);
}

void ViewController::runOpenPanel(std::shared_ptr<OpenPanelRequest> request)
{
    m_uploadChooser.showOpenPanel(std::move(request));
}

void ViewController::didReceiveScriptMessage(const std::string& name, MessageBody body)
{
    m_messageDispatcher.dispatch(name, std::move(body));
}

}
