#include "platform/gtk/GlibMainQueue.h"

#include <glib.h>

namespace tessaro {

void GlibMainQueue::post(std::function<void()> work)
{
    // g_idle_add is safe from any thread and, unlike g_main_context_invoke, never runs
    // the work at once when called on the main thread.
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(work)),
        [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

}
