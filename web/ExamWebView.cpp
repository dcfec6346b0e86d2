#include "web/ExamWebView.h"

#include "web/PageCall.h"

namespace tessaro {

ExamWebView::ExamWebView(std::unique_ptr<WebView> view, StandardOutput& output)
    : m_view(std::move(view))
    , m_policy(output)
{
    m_view->setPolicy(m_policy);
}

void ExamWebView::sendPageMessage(std::string_view name, const PagePayload& payload)
{
    m_view->evaluateJavaScript(composePageCall(name, payload));
}

}
