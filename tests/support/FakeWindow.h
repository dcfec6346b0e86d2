#pragma once

#include <optional>
#include <utility>

#include "platform/Window.h"
#include "tests/support/CallLog.h"

namespace tessaro::testing {

class FakeWindow final : public Window {
public:
    explicit FakeWindow(CallLog& calls)
        : m_calls(calls)
    {
    }

    void setDelegate(WindowDelegate& delegate) override;
    void addSubview(WebView& webView) override;
    void fillScreen() override;
    void enterFullScreen(std::function<void(bool locked)> done) override;
    bool excludeFromCapture() override;

    // Shows the window (the platform's map).
    void appear();
    // Gives the window the keyboard focus.
    void becomeKey();
    // Answers the pending full-screen request as the window manager would.
    void answerFullScreen(bool locked);

    // When set, full-screen requests are answered at once with this.
    std::optional<bool> immediateFullScreenAnswer = true;
    WebView* subview = nullptr;

private:
    CallLog& m_calls;
    WindowDelegate* m_delegate = nullptr;
    std::function<void(bool)> m_pendingFullScreen;
};

}
