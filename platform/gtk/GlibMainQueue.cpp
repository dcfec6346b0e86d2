#include "platform/gtk/GlibMainQueue.h"

#include "platform/glib/GLibCallbacks.h"

namespace tessaro {

void GlibMainQueue::post(std::function<void()> work)
{
    // An idle source is safe to add from any thread and, unlike g_main_context_invoke,
    // never runs the work at once when added on the main thread.
    addIdle([work = std::move(work)] {
        work();
        return false;
    });
}

}
