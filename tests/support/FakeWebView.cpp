#include "tests/support/FakeWebView.h"

namespace tessaro::testing {

void FakeWebView::setCustomUserAgent(const std::string& agent)
{
    userAgent = agent;
    m_calls.add("webView.setCustomUserAgent");
}

void FakeWebView::setPolicy(WebViewPolicy& newPolicy)
{
    policy = &newPolicy;
}

void FakeWebView::setNavigationDelegate(NavigationDelegate& delegate)
{
    m_navigationDelegate = &delegate;
    m_calls.add("webView.setNavigationDelegate");
}

void FakeWebView::setUIDelegate(UIDelegate& delegate)
{
    m_uiDelegate = &delegate;
    m_calls.add("webView.setUIDelegate");
}

void FakeWebView::addScriptMessageHandler(ScriptMessageHandler& handler, const std::string& name)
{
    m_handlers[name] = &handler;
    m_calls.add("webView.addScriptMessageHandler " + name);
}

void FakeWebView::load(const std::string& address)
{
    loads.push_back(address);
    m_calls.add("webView.load " + address);
}

void FakeWebView::evaluateJavaScript(const std::string& script)
{
    scripts.push_back(script);
    m_calls.add("webView.evaluateJavaScript");
}

void FakeWebView::setPressureConfiguration(PressureBehavior behavior)
{
    ++pressureConfigurations;
    m_calls.add("webView.setPressureConfiguration " + std::to_string(static_cast<int>(behavior)));
}

bool FakeWebView::postMessage(const std::string& name, const nlohmann::json& body)
{
    const auto handler = m_handlers.find(name);
    if (handler == m_handlers.end())
        return false;
    handler->second->didReceiveScriptMessage(name, body);
    return true;
}

void FakeWebView::finishNavigation()
{
    if (m_navigationDelegate)
        m_navigationDelegate->didFinishNavigation();
}

std::shared_ptr<FakeOpenPanelRequest> FakeWebView::requestFile()
{
    auto request = std::make_shared<FakeOpenPanelRequest>();
    if (m_uiDelegate)
        m_uiDelegate->runOpenPanel(request);
    return request;
}

}
