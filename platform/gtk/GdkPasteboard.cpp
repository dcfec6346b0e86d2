#include "platform/gtk/GdkPasteboard.h"

#include <gtk/gtk.h>

#include "platform/glib/GLibOwners.h"

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

void GdkPasteboard::clearContents()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return;
    empty(gdk_display_get_clipboard(display));
    empty(gdk_display_get_primary_clipboard(display));
    // Sent and answered now: a quit right after must not leave the request unsent, and
    // on Wayland it counts only while the window still has the keyboard focus.
    gdk_display_sync(display);
}

}
