#include "platform/gtk/GtkTimers.h"

#include <cmath>
#include <utility>

#include <glib.h>

namespace tessaro {

struct GtkTimers::Timer {
    GtkTimers* timers;
    bool repeats;
    std::function<void()> action;
};

void GtkTimers::schedule(double intervalSeconds, bool repeats, std::function<void()> action)
{
    const auto milliseconds = static_cast<guint>(std::llround(intervalSeconds * 1000.0));
    g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds, &GtkTimers::fire,
                       new Timer { this, repeats, std::move(action) },
                       [](gpointer timer) { delete static_cast<Timer*>(timer); });
}

int GtkTimers::fire(void* data)
{
    auto& timer = *static_cast<Timer*>(data);
    if (timer.timers->m_held) {
        timer.timers->m_deferred.push_back(timer.action);
    } else {
        timer.action();
    }
    return timer.repeats ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void GtkTimers::hold()
{
    m_held = true;
}

void GtkTimers::release()
{
    m_held = false;
    // Later, from the main loop: whoever ended the hold (an alert that ends the
    // program, say) finishes first.
    for (auto& action : std::exchange(m_deferred, {}))
        schedule(0, false, std::move(action));
}

}
