#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/WebView.h"
#include "tests/support/CallLog.h"

namespace tessaro::testing {

class FakeOpenPanelRequest final : public OpenPanelRequest {
public:
    void answer(std::optional<std::string> chosenFile) override { answers.push_back(std::move(chosenFile)); }
    std::vector<std::optional<std::string>> answers;
};

class FakeWebView final : public WebView {
public:
    explicit FakeWebView(CallLog& calls)
        : m_calls(calls)
    {
    }

    void setCustomUserAgent(const std::string& userAgent) override;
    void setPolicy(WebViewPolicy& policy) override;
    void setNavigationDelegate(NavigationDelegate& delegate) override;
    void setUIDelegate(UIDelegate& delegate) override;
    void addScriptMessageHandler(ScriptMessageHandler& handler, const std::string& name) override;
    void load(const std::string& address) override;
    void evaluateJavaScript(const std::string& script) override;
    void setPressureConfiguration(PressureBehavior behavior) override;

    // What a page can do: post under a name (delivered only when a handler has that
    // name), finish a navigation, ask for a file.
    bool postMessage(const std::string& name, const nlohmann::json& body);
    void finishNavigation();
    std::shared_ptr<FakeOpenPanelRequest> requestFile();

    std::string userAgent;
    std::vector<std::string> loads;
    std::vector<std::string> scripts;
    int pressureConfigurations = 0;
    WebViewPolicy* policy = nullptr;

private:
    CallLog& m_calls;
    NavigationDelegate* m_navigationDelegate = nullptr;
    UIDelegate* m_uiDelegate = nullptr;
    std::map<std::string, ScriptMessageHandler*> m_handlers;
};

}
