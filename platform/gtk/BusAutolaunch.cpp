#include "platform/gtk/BusAutolaunch.h"

#include <string>

#include <gio/gio.h>
#include <sys/stat.h>

#include "platform/glib/GLibOwners.h"

namespace tessaro {

namespace {

bool isSet(const char* variable)
{
    const char* value = g_getenv(variable);
    return value != nullptr && *value != '\0';
}

}

void preventBusAutolaunch()
{
    if (isSet("DBUS_SESSION_BUS_ADDRESS"))
        return;
    // GLib's own first choice, before it would launch a bus: a socket in the runtime folder.
    const GCharPtr socket(g_build_filename(g_get_user_runtime_dir(), "bus", nullptr));
    struct stat status { };
    if (::stat(socket.get(), &status) == 0 && S_ISSOCK(status.st_mode))
        return;
    const GCharPtr escaped(g_dbus_address_escape_value(socket.get()));
    g_setenv("DBUS_SESSION_BUS_ADDRESS", (std::string("unix:path=") + escaped.get()).c_str(), true);
    // Only the session bus tells where an accessibility bus is, unless this does.
    if (!isSet("AT_SPI_BUS_ADDRESS"))
        g_setenv("GTK_A11Y", "none", false);
}

}
