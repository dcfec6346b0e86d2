#pragma once

#include <functional>
#include <vector>

#include "platform/Timers.h"

namespace tessaro {

// Timers on the GLib main loop. While held (a modal alert is up) a timer that comes due
// does not run; it runs from the main loop once the hold has ended.
class GtkTimers final : public Timers {
public:
    void schedule(double intervalSeconds, bool repeats, std::function<void()> action) override;

    void hold();
    void release();

private:
    bool m_held = false;
    std::vector<std::function<void()>> m_deferred;
};

}
