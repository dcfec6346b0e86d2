#include "platform/gtk/GdkPasteboard.h"

#include <gtk/gtk.h>

namespace tessaro {

void GdkPasteboard::clearContents()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return;
    gdk_clipboard_set_content(gdk_display_get_clipboard(display), nullptr);
    gdk_clipboard_set_content(gdk_display_get_primary_clipboard(display), nullptr);
    // Sent and answered now: a quit right after must not leave the request unsent, and
    // on Wayland it counts only while the window still has the keyboard focus.
    gdk_display_sync(display);
}

}
