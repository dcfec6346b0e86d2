#include "platform/gtk/GtkTimers.h"

#include <cmath>
#include <utility>

#include "platform/glib/GLibCallbacks.h"

namespace tessaro {

void GtkTimers::schedule(double intervalSeconds, bool repeats, std::function<void()> action)
{
    const auto milliseconds = static_cast<guint>(std::llround(intervalSeconds * 1000.0));
    addTimeout(milliseconds, [this, repeats, action = std::move(action)] {
        if (m_held) {
            m_deferred.push_back(action);
        } else {
            action();
        }
        return repeats;
    });
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
