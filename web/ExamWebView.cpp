#include "web/ExamWebView.h"

namespace tessaro {

ExamWebView::ExamWebView(std::unique_ptr<WebView> view)
    : m_view(std::move(view))
{
}

void ExamWebView::sendPageMessage(std::string_view name, const PagePayload& payload)
{
    m_view->evaluateJavaScript(composePageCall(name, payload));
}

}
