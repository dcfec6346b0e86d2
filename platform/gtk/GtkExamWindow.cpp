#include "platform/gtk/GtkExamWindow.h"

#include <string>
#include <utility>

#include <gdk/wayland/gdkwayland.h>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include "platform/glib/GLibCallbacks.h"
#include "platform/gtk/GtkExamWebView.h"

namespace tessaro {

namespace {

// How long the window manager gets to put the window in full screen, and how often we
// look. Without a window manager nothing ever does.
constexpr guint fullScreenWaitMilliseconds = 2000;
constexpr guint fullScreenPollMilliseconds = 20;

GdkMonitor* monitorOf(GtkWindow* window)
{
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
    if (!surface)
        return nullptr;
    return gdk_display_get_monitor_at_surface(gtk_widget_get_display(GTK_WIDGET(window)), surface);
}

// The window carries the page's title, so assistive technology and window lists name
// what the student sees ("The exam could not be reached", say).
void pageTitleChanged(WebKitWebView* view, GParamSpec*, GtkExamWindow* window)
{
    const char* title = webkit_web_view_get_title(view);
    const std::string windowTitle = title && *title ? std::string(title) + " \u2014 Tessaro" : "Tessaro";
    gtk_window_set_title(window->window(), windowTitle.c_str());
}

}

GtkExamWindow::GtkExamWindow(GtkApplication* application, std::function<void()> closeRequested)
    : m_window(retainObject(GTK_WINDOW(gtk_application_window_new(application))))
    , m_closeRequested(std::move(closeRequested))
{
    gtk_window_set_title(m_window.get(), "Tessaro");
    connectSignals();
}

GtkExamWindow::~GtkExamWindow()
{
    g_signal_handlers_disconnect_by_data(m_window.get(), this);
    if (m_firstInput)
        g_signal_handlers_disconnect_by_data(m_firstInput.get(), this);
    if (m_contentView)
        g_signal_handlers_disconnect_by_data(m_contentView.get(), this);
    if (m_surface)
        g_signal_handlers_disconnect_by_data(m_surface.get(), this);
}

void GtkExamWindow::connectSignals()
{
    GtkWindow* window = m_window.get();
    const auto mapped = +[](GtkWindow*, GtkExamWindow* self) {
        if (self->m_delegate)
            self->m_delegate->viewDidAppear();
    };
    g_signal_connect(window, "map", G_CALLBACK(mapped), this);
    const auto realized = +[](GtkWindow*, GtkExamWindow* self) { self->watchState(); };
    g_signal_connect_after(window, "realize", G_CALLBACK(realized), this);
    const auto closeRequested = +[](GtkWindow*, GtkExamWindow* self) -> gboolean {
        self->m_closeRequested();
        return true;
    };
    g_signal_connect(window, "close-request", G_CALLBACK(closeRequested), this);
    // On X11 the window has the keyboard focus once it is active. A Wayland compositor
    // takes a selection change only with the serial of an input event the window
    // received, so there the focus counts from the window's first key or button press,
    // seen here before the web view or a shortcut handles it.
    if (GDK_IS_WAYLAND_DISPLAY(gtk_widget_get_display(GTK_WIDGET(window)))) {
        const auto inputArrived = +[](GtkEventControllerLegacy*, GdkEvent* event, GtkExamWindow* self) -> gboolean {
            const GdkEventType type = gdk_event_get_event_type(event);
            if ((type == GDK_KEY_PRESS || type == GDK_BUTTON_PRESS) && !std::exchange(self->m_hadInput, true)
                && self->m_delegate)
                self->m_delegate->windowDidBecomeKey();
            return GDK_EVENT_PROPAGATE;
        };
        GtkEventController* firstInput = gtk_event_controller_legacy_new();
        gtk_event_controller_set_propagation_phase(firstInput, GTK_PHASE_CAPTURE);
        g_signal_connect(firstInput, "event", G_CALLBACK(inputArrived), this);
        // The window owns the controller; the handler goes with this wrapper.
        m_firstInput = retainObject(firstInput);
        gtk_widget_add_controller(GTK_WIDGET(window), firstInput);
    } else {
        const auto activeChanged = +[](GtkWindow* toplevel, GParamSpec*, GtkExamWindow* self) {
            if (gtk_window_is_active(toplevel) && self->m_delegate)
                self->m_delegate->windowDidBecomeKey();
            self->reportState();
        };
        g_signal_connect(window, "notify::is-active", G_CALLBACK(activeChanged), this);
    }
}

void GtkExamWindow::watchState()
{
    if (m_surface)
        g_signal_handlers_disconnect_by_data(m_surface.get(), this);
    m_surface = retainObject(gtk_native_get_surface(GTK_NATIVE(m_window.get())));
    const auto stateChanged = +[](GdkSurface*, GParamSpec*, GtkExamWindow* self) { self->reportState(); };
    g_signal_connect(m_surface.get(), "notify::state", G_CALLBACK(stateChanged), this);
}

void GtkExamWindow::reportState()
{
    if (!m_delegate || !m_surface)
        return;
    // The toplevel's state is what the window manager did, reported once it acted. A
    // Wayland compositor says which window it activated; an X11 window manager may not
    // (GDK then counts the window as focused throughout), and there the keyboard focus tells.
    const GdkToplevelState state = gdk_toplevel_get_state(GDK_TOPLEVEL(m_surface.get()));
    const bool active = GDK_IS_WAYLAND_DISPLAY(gdk_surface_get_display(m_surface.get()))
        ? (state & GDK_TOPLEVEL_STATE_FOCUSED) != 0
        : gtk_window_is_active(m_window.get());
    m_delegate->windowDidChangeState({ active, (state & GDK_TOPLEVEL_STATE_FULLSCREEN) != 0 });
}

void GtkExamWindow::setDelegate(WindowDelegate& delegate)
{
    m_delegate = &delegate;
}

void GtkExamWindow::addSubview(WebView& webView)
{
    GtkWidget* view = static_cast<GtkExamWebView&>(webView).widget();
    if (m_contentView)
        g_signal_handlers_disconnect_by_data(m_contentView.get(), this);
    m_contentView = retainObject(view);
    gtk_window_set_child(m_window.get(), view);
    g_signal_connect(view, "notify::title", G_CALLBACK(pageTitleChanged), this);
}

void GtkExamWindow::fillScreen()
{
    GdkMonitor* monitor = monitorOf(m_window.get());
    if (!monitor)
        return;
    GdkRectangle frame;
    gdk_monitor_get_geometry(monitor, &frame);
    gtk_window_set_default_size(m_window.get(), frame.width, frame.height);
}

void GtkExamWindow::enterFullScreen(std::function<void(bool locked)> done)
{
    gtk_window_fullscreen(m_window.get());
    const gint64 deadline = g_get_monotonic_time() + fullScreenWaitMilliseconds * G_TIME_SPAN_MILLISECOND;
    addTimeout(fullScreenPollMilliseconds, [this, done = std::move(done), deadline] {
        const bool locked = isFullScreen();
        if (!locked && g_get_monotonic_time() < deadline)
            return true;
        done(locked);
        return false;
    });
}

bool GtkExamWindow::isFullScreen() const
{
    // GDK reports the state as soon as it asked for it; only the window's size shows
    // that a window manager actually did it.
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(m_window.get()));
    GdkMonitor* monitor = monitorOf(m_window.get());
    if (!surface || !monitor || !GDK_IS_TOPLEVEL(surface))
        return false;
    if (!(gdk_toplevel_get_state(GDK_TOPLEVEL(surface)) & GDK_TOPLEVEL_STATE_FULLSCREEN))
        return false;
    GdkRectangle frame;
    gdk_monitor_get_geometry(monitor, &frame);
    return gdk_surface_get_width(surface) >= frame.width && gdk_surface_get_height(surface) >= frame.height;
}

bool GtkExamWindow::excludeFromCapture()
{
    // Neither X11 nor Wayland lets a window refuse other clients' screen capture; the
    // launch gate's list of capture tools is the defence here.
    return false;
}

}
