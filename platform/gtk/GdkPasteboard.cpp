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
}

}
