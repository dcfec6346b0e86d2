#pragma once

#include <functional>

namespace tessaro {

class WebView;

// What the window manager has done with the window: whether it is the active window, the
// one the student works in (never while minimised or hidden), and whether it is full screen.
struct WindowState {
    bool active = false;
    bool fullScreen = false;
};

class WindowDelegate {
public:
    virtual ~WindowDelegate() = default;
    // Each time the window is shown (mapped).
    virtual void viewDidAppear() = 0;
    // When the window has the keyboard focus as far as the desktop's selections go: each
    // time it becomes active on X11, at its first key or button press on Wayland.
    virtual void windowDidBecomeKey() = 0;
    // Each time the window manager may have changed the window's state; the same state
    // may be reported more than once.
    virtual void windowDidChangeState(WindowState state) = 0;
};

// The one exam window.
class Window {
public:
    virtual ~Window() = default;
    virtual void setDelegate(WindowDelegate& delegate) = 0;
    // The web view becomes the window's content and fills it.
    virtual void addSubview(WebView& webView) = 0;
    // Sizes the window to the full rectangle of the screen it is on; a window on no
    // screen keeps its size. The web view fills the window by layout.
    virtual void fillScreen() = 0;
    // Asks for full screen and reports, once and later on the main thread, whether the
    // window manager really put the window there (within a bounded wait).
    virtual void enterFullScreen(std::function<void(bool locked)> done) = 0;
    // Hides the window's contents from other processes' screen capture. False when the
    // desktop offers no way to do that.
    virtual bool excludeFromCapture() = 0;
};

}
