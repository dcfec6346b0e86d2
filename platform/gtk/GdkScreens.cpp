#include "platform/gtk/GdkScreens.h"

#include <gtk/gtk.h>

namespace tessaro {

int GdkScreens::count()
{
    GdkDisplay* display = gdk_display_get_default();
    return display ? static_cast<int>(g_list_model_get_n_items(gdk_display_get_monitors(display))) : 0;
}

bool GdkScreens::hasMainScreen()
{
    return count() > 0;
}

}
