#include "tests/support/VirtualClock.h"

#include <algorithm>
#include <cstdio>

namespace tessaro::testing {

void VirtualClock::post(std::function<void()> work)
{
    std::lock_guard lock(m_postedMutex);
    m_posted.push_back(std::move(work));
}

void VirtualClock::schedule(double intervalSeconds, bool repeats, std::function<void()> action)
{
    char entry[64];
    std::snprintf(entry, sizeof entry, "timers.schedule %g %s", intervalSeconds, repeats ? "repeating" : "once");
    m_calls.add(entry);
    m_timers.push_back({ m_now + intervalSeconds, intervalSeconds, repeats, m_nextOrder++, std::move(action) });
}

void VirtualClock::runPostedWork()
{
    for (;;) {
        std::vector<std::function<void()>> work;
        {
            std::lock_guard lock(m_postedMutex);
            work.swap(m_posted);
        }
        if (work.empty())
            return;
        for (auto& item : work)
            item();
    }
}

void VirtualClock::advance(double seconds)
{
    const double target = m_now + seconds;
    for (;;) {
        runPostedWork();
        if (m_held)
            break;
        auto next = std::min_element(m_timers.begin(), m_timers.end(), [](const Timer& a, const Timer& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == m_timers.end() || next->due > target + 1e-9)
            break;
        m_now = std::max(m_now, next->due);
        auto action = next->action;
        if (next->repeats) {
            next->due += next->interval;
            next->order = m_nextOrder++;
        } else
            m_timers.erase(next);
        action();
    }
    m_now = std::max(m_now, target);
}

}
