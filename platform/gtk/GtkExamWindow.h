#pragma once

#include <functional>

#include "platform/Window.h"
#include "platform/glib/GLibOwners.h"

typedef struct _GtkApplication GtkApplication;
typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
typedef struct _GtkEventController GtkEventController;
typedef struct _GdkSurface GdkSurface;

namespace tessaro {

// The one exam window. The window manager's close request (Alt+F4, a close button)
// never closes it: it counts as a press of the quit shortcut instead.
class GtkExamWindow final : public Window {
public:
    GtkExamWindow(GtkApplication* application, std::function<void()> closeRequested);
    ~GtkExamWindow() override;

    void setDelegate(WindowDelegate& delegate) override;
    void addSubview(WebView& webView) override;
    void fillScreen() override;
    void enterFullScreen(std::function<void(bool locked)> done) override;
    bool excludeFromCapture() override;

    GtkWindow* window() const { return m_window.get(); }

private:
    void connectSignals();
    void watchState();
    void reportState();
    bool isFullScreen() const;

    GObjectPtr<GtkWindow> m_window;
    // The web view whose title the window carries; its handler goes with the window.
    GObjectPtr<GtkWidget> m_contentView;
    // The window's surface, whose state the window manager changes.
    GObjectPtr<GdkSurface> m_surface;
    // Wayland only: watches for the window's first key or button press.
    GObjectPtr<GtkEventController> m_firstInput;
    std::function<void()> m_closeRequested;
    WindowDelegate* m_delegate = nullptr;
    bool m_hadInput = false;
};

}
