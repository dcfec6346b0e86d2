#pragma once

#include <memory>
#include <optional>
#include <string>

namespace tessaro {

struct MessageBody;

// Why the engine's web process, where the page runs, ended.
enum class WebProcessEnd { crashed, exceededMemoryLimit, endedByProgram };

class NavigationDelegate {
public:
    virtual ~NavigationDelegate() = default;
    // The view shows the top-level document of this address from now on; its load goes on.
    virtual void didCommitNavigation(const std::string& address) = 0;
    // A navigation finished loading. A failed load is not a finished navigation.
    virtual void didFinishNavigation() = 0;
    // A load of the top-level document failed; the view keeps what it showed. A load
    // replaced by another or refused by the policy is no failure.
    virtual void didFailNavigation(const std::string& address, const std::string& errorText) = 0;
    // The page's process is gone: the view shows its last picture, dead, until the next load.
    virtual void webProcessDidEnd(WebProcessEnd reason) = 0;
};

// The web view's request for a file to upload. It is answered exactly once: an answer
// after the first is ignored, and a request dropped without an answer is cancelled.
class OpenPanelRequest {
public:
    virtual ~OpenPanelRequest() = default;
    virtual void answer(std::optional<std::string> chosenFile) = 0;
};

class UIDelegate {
public:
    virtual ~UIDelegate() = default;
    virtual void runOpenPanel(std::shared_ptr<OpenPanelRequest> request) = 0;
};

class ScriptMessageHandler {
public:
    virtual ~ScriptMessageHandler() = default;
    // A page posted window.webkit.messageHandlers.<name>.postMessage(body).
    virtual void didReceiveScriptMessage(const std::string& name, MessageBody body) = 0;
};

// What a page asks the engine to allow: its camera or microphone, or anything else
// (location, notifications, pointer lock, the clipboard, the list of devices).
enum class PermissionKind { cameraOrMicrophone, other };
enum class PermissionAnswer { askStudent, deny };

// A response to a navigation, as the engine is about to show it.
struct PageResponse {
    std::string address;
    // The Content-Disposition header's text; empty when there is none.
    std::string contentDisposition;
    // Whether the engine can show the response's type.
    bool viewable = false;
};

// The program's answers to what a page may do. The host asks at each engine signal and
// carries the answer out; it decides nothing itself.
class WebViewPolicy {
public:
    virtual ~WebViewPolicy() = default;
    virtual PermissionAnswer permissionRequested(PermissionKind kind) = 0;
    // False: the navigation is ignored and nothing is saved.
    virtual bool shouldShowResponse(const PageResponse& response) = 0;
    // A download the page starts itself (a link with a download attribute, a blob).
    // False: it is cancelled.
    virtual bool shouldDownload(const std::string& address) = 0;
    virtual bool shouldPrint() = 0;
    virtual bool shouldShowContextMenu() = 0;
};

enum class PressureBehavior { primaryDefault = 0, primaryClick = 1, primaryGeneric = 2 };

// The host's web view. The secondary-button press and the look-up gesture never reach
// it; everything else is the engine's own behaviour.
class WebView {
public:
    virtual ~WebView() = default;
    virtual void setCustomUserAgent(const std::string& userAgent) = 0;
    // Starts the engine's processes before the first load, with what they take at start
    // (the user agent) already set, so that the first load finds them ready. Nothing it
    // loads is reported as a navigation, nor can the page go back to it.
    virtual void startEngine() = 0;
    virtual void setPolicy(WebViewPolicy& policy) = 0;
    virtual void setNavigationDelegate(NavigationDelegate& delegate) = 0;
    virtual void setUIDelegate(UIDelegate& delegate) = 0;
    virtual void addScriptMessageHandler(ScriptMessageHandler& handler, const std::string& name) = 0;
    // A plain GET of the address, replacing whatever the view shows or loads.
    virtual void load(const std::string& address) = 0;
    // Runs the script in the page; its result and any error are ignored.
    virtual void evaluateJavaScript(const std::string& script) = 0;
    virtual void setPressureConfiguration(PressureBehavior behavior) = 0;
};

}
