#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>

#include "platform/MainQueue.h"
#include "platform/Timers.h"
#include "tests/support/CallLog.h"

namespace tessaro::testing {

// Timers and the main queue in virtual time: nothing runs until the test advances the
// clock; then posted work and due timers run in order, as on the main thread.
class VirtualClock final : public MainQueue, public Timers, Recorder {
public:
    using Recorder::Recorder;

    void post(std::function<void()> work) override { m_posted.push_back(std::move(work)); }
    void schedule(double intervalSeconds, bool repeats, std::function<void()> action) override
    {
        char entry[64];
        std::snprintf(entry, sizeof entry, "timers.schedule %g %s", intervalSeconds, repeats ? "repeating" : "once");
        record(entry);
        m_timers.emplace(m_now + intervalSeconds, Timer { intervalSeconds, repeats, std::move(action) });
    }

    // Runs everything that comes due up to now + seconds, posted work first.
    void advance(double seconds)
    {
        const double target = m_now + seconds;
        for (;;) {
            while (!m_posted.empty()) {
                auto work = std::move(m_posted.front());
                m_posted.pop_front();
                work();
            }
            if (m_timers.empty() || m_timers.begin()->first > target + 1e-9)
                break;
            auto [due, timer] = *m_timers.begin();
            m_timers.erase(m_timers.begin());
            m_now = due;
            if (timer.repeats)
                m_timers.emplace(due + timer.interval, timer);
            timer.action();
        }
        m_now = std::max(m_now, target);
    }
    double now() const { return m_now; }

private:
    struct Timer {
        double interval;
        bool repeats;
        std::function<void()> action;
    };

    double m_now = 0;
    // By due time; timers due at once run in the order they were scheduled.
    std::multimap<double, Timer> m_timers;
    std::deque<std::function<void()>> m_posted;
};

}
