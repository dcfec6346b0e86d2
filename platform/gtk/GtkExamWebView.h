#pragma once

#include <list>
#include <memory>
#include <string>

#include "platform/WebView.h"
#include "platform/glib/GLibOwners.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _WebKitWebView WebKitWebView;

namespace tessaro {

// The exam's WebKitWebView. Engine events are turned into the program's terms here:
// a committed, finished or failed navigation, the end of the web process, a page message
// as a value tree, a request for a file, and the policy's questions, whose answers it
// carries out.
class GtkExamWebView final : public WebView {
public:
    // extensionsDirectory holds the web process extension that gives every request the
    // exact user agent; empty when it could not be found.
    explicit GtkExamWebView(std::string extensionsDirectory);
    ~GtkExamWebView() override;

    void setCustomUserAgent(const std::string& userAgent) override;
    void startEngine() override;
    void setPolicy(WebViewPolicy& policy) override;
    void setNavigationDelegate(NavigationDelegate& delegate) override;
    void setUIDelegate(UIDelegate& delegate) override;
    void addScriptMessageHandler(ScriptMessageHandler& handler, const std::string& name) override;
    void load(const std::string& address) override;
    void evaluateJavaScript(const std::string& script) override;
    void setPressureConfiguration(PressureBehavior behavior) override;

    GtkWidget* widget() const;

private:
    struct MessageBinding {
        ScriptMessageHandler* handler;
        std::string name;
    };

    void connectSignals();

    GObjectPtr<WebKitWebView> m_webView;
    std::string m_extensionsDirectory;
    NavigationDelegate* m_navigationDelegate = nullptr;
    UIDelegate* m_uiDelegate = nullptr;
    WebViewPolicy* m_policy = nullptr;
    bool m_currentLoadFailed = false;
    // The empty page that starts the engine's processes is no navigation of the exam's:
    // nothing it does is reported, and after a load of ours only a load that started
    // since counts.
    bool m_startingEngine = false;
    bool m_awaitingOurLoad = false;
    std::list<MessageBinding> m_messageBindings;
};

}
