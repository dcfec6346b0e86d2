#pragma once

#include <memory>
#include <string_view>

#include "common/PageMessenger.h"
#include "platform/WebView.h"
#include "web/LockdownPolicy.h"

namespace tessaro {

class StandardOutput;

// The one web view the exam runs in, under the lockdown policy from its first moment.
// The host's view already keeps the secondary-button press and the look-up gesture away
// from the page; this adds the way to call the page.
class ExamWebView final : public PageMessenger {
public:
    ExamWebView(std::unique_ptr<WebView> view, StandardOutput& output);

    WebView& view() { return *m_view; }

    // Calls window.K$.macOS.message(name, payload text) in the page, if the page has it.
    // Nothing reports whether the call worked.
    void sendPageMessage(std::string_view name, const PagePayload& payload) override;

private:
    std::unique_ptr<WebView> m_view;
    LockdownPolicy m_policy;
};

}
