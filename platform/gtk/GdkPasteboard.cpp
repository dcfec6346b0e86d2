#include "platform/gtk/GdkPasteboard.h"

#include <gdk/wayland/gdkwayland.h>
#include <gtk/gtk.h>

#include "platform/glib/GLibOwners.h"
#include "platform/wayland/DataControlSelections.h"

namespace tessaro {

namespace {

// GDK sends nothing for "no content" when it believes it owns an empty clipboard
// already, and on Wayland it believes so after a request that the compositor ignored.
// An offer of no formats first makes the emptying a change it always sends.
void empty(GdkClipboard* clipboard)
{
    const auto nothing = GObjectPtr<GdkContentProvider>(gdk_content_provider_new_union(nullptr, 0));
    gdk_clipboard_set_content(clipboard, nothing.get());
    gdk_clipboard_set_content(clipboard, nullptr);
}

}

GdkPasteboard::GdkPasteboard() = default;

GdkPasteboard::~GdkPasteboard() = default;

void GdkPasteboard::clearContents()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return;
    empty(gdk_display_get_clipboard(display));
    empty(gdk_display_get_primary_clipboard(display));
    // A Wayland compositor takes GDK's change only with the serial of an input event the
    // window received; where it offers data control, the selections are emptied at once,
    // before the window is shown as after it lost the focus.
    if (GDK_IS_WAYLAND_DISPLAY(display)) {
        if (!m_dataControl)
            m_dataControl = std::make_unique<DataControlSelections>(gdk_wayland_display_get_wl_display(display));
        m_dataControl->empty();
    }
    // Sent and answered now: a quit right after must not leave the request unsent, and
    // where GDK's change is all there is, it counts only while the window has the focus.
    gdk_display_sync(display);
}

}
