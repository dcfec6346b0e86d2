#pragma once

#include <optional>
#include <utility>

#include "platform/Window.h"
#include "tests/support/CallLog.h"

namespace tessaro::testing {

class FakeWindow final : public Window, Recorder {
public:
    using Recorder::Recorder;

    void setDelegate(WindowDelegate& delegate) override { m_delegate = &delegate; }
    void addSubview(WebView& webView) override { subview = &webView; }
    void fillScreen() override { record("window.fillScreen"); }
    void enterFullScreen(std::function<void(bool locked)> done) override
    {
        record("window.enterFullScreen");
        m_pendingFullScreen = std::move(done);
        if (immediateFullScreenAnswer)
            answerFullScreen(*immediateFullScreenAnswer);
    }
    bool excludeFromCapture() override
    {
        record("window.excludeFromCapture");
        return false;
    }

    // Shows the window (the platform's map), gives it the keyboard focus.
    void appear() { m_delegate->viewDidAppear(); }
    void becomeKey() { m_delegate->windowDidBecomeKey(); }
    // Answers the pending full-screen request as the window manager would.
    void answerFullScreen(bool locked) { std::exchange(m_pendingFullScreen, nullptr)(locked); }

    // When set, full-screen requests are answered at once with this.
    std::optional<bool> immediateFullScreenAnswer = true;
    WebView* subview = nullptr;

private:
    WindowDelegate* m_delegate = nullptr;
    std::function<void(bool)> m_pendingFullScreen;
};

}
