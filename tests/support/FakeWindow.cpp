#include "tests/support/FakeWindow.h"

namespace tessaro::testing {

void FakeWindow::setDelegate(WindowDelegate& delegate)
{
    m_delegate = &delegate;
    m_calls.add("window.setDelegate");
}

void FakeWindow::addSubview(WebView& webView)
{
    subview = &webView;
    m_calls.add("window.addSubview");
}

void FakeWindow::fillScreen()
{
    m_calls.add("window.fillScreen");
}

void FakeWindow::enterFullScreen(std::function<void(bool locked)> done)
{
    m_calls.add("window.enterFullScreen");
    if (immediateFullScreenAnswer) {
        done(*immediateFullScreenAnswer);
    } else {
        m_pendingFullScreen = std::move(done);
    }
}

bool FakeWindow::excludeFromCapture()
{
    m_calls.add("window.excludeFromCapture");
    return false;
}

void FakeWindow::appear()
{
    if (m_delegate)
        m_delegate->viewDidAppear();
}

void FakeWindow::becomeKey()
{
    if (m_delegate)
        m_delegate->windowDidBecomeKey();
}

void FakeWindow::answerFullScreen(bool locked)
{
    if (auto done = std::exchange(m_pendingFullScreen, nullptr))
        done(locked);
}

}
