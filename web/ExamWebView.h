#pragma once

#include <memory>
#include <string_view>

#include "web/PageCall.h"
#include "platform/WebView.h"

namespace tessaro {

// The one web view the exam runs in. The host's view already keeps the secondary-button
// press and the look-up gesture away from the page; this adds the way to call the page.
class ExamWebView {
public:
    explicit ExamWebView(std::unique_ptr<WebView> view);

    WebView& view() { return *m_view; }

    // Calls window.K$.macOS.message(name, payload text) in the page, if the page has it.
    // Nothing reports whether the call worked.
    void sendPageMessage(std::string_view name, const PagePayload& payload);

private:
    std::unique_ptr<WebView> m_view;
};

}
