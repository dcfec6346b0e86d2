#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/WebView.h"

namespace tessaro::testing {

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
    }
    void load(const std::string& address) override { loads.push_back(address); }
    void evaluateJavaScript(const std::string& script) override { scripts.push_back(script); }
    void setPressureConfiguration(PressureBehavior behavior) override { pressureConfigurations.push_back(behavior); }

    // What a page can do: post under a name (delivered only when a handler has that
    // name), finish a navigation, ask for a file.
    bool postMessage(const std::string& name, const nlohmann::json& body)
    {
        const auto handler = m_handlers.find(name);
        if (handler == m_handlers.end())
            return false;
        handler->second->didReceiveScriptMessage(name, body);
        return true;
    }
    void finishNavigation() { m_navigationDelegate->didFinishNavigation(); }
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
    std::vector<PressureBehavior> pressureConfigurations;
    WebViewPolicy* policy = nullptr;

private:
    NavigationDelegate* m_navigationDelegate = nullptr;
    UIDelegate* m_uiDelegate = nullptr;
    std::map<std::string, ScriptMessageHandler*> m_handlers;
};

}
