#pragma once

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
    void schedule(double intervalSeconds, bool repeats, std::function<void()> action) override;

    // Runs everything that comes due up to now + seconds (posted work first).
    void advance(double seconds);
    void runPostedWork();
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
