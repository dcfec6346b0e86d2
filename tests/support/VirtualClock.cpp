#include "tests/support/VirtualClock.h"

#include <algorithm>
#include <cstdio>

namespace tessaro::testing {

void VirtualClock::schedule(double intervalSeconds, bool repeats, std::function<void()> action)
{
    char entry[64];
    std::snprintf(entry, sizeof entry, "timers.schedule %g %s", intervalSeconds, repeats ? "repeating" : "once");
    record(entry);
    m_timers.emplace(m_now + intervalSeconds, Timer { intervalSeconds, repeats, std::move(action) });
}

void VirtualClock::runPostedWork()
{
    while (!m_posted.empty()) {
        auto work = std::move(m_posted.front());
        m_posted.pop_front();
        work();
    }
}

void VirtualClock::advance(double seconds)
{
    const double target = m_now + seconds;
    for (;;) {
        runPostedWork();
        if (m_timers.empty() || m_timers.begin()->first > target + 1e-9)
            break;
        auto [due, timer] = *m_timers.begin();
        m_timers.erase(m_timers.begin());
        m_now = std::max(m_now, due);
        if (timer.repeats)
            m_timers.emplace(due + timer.interval, timer);
        timer.action();
    }
    m_now = std::max(m_now, target);
}

}
