#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/MainQueue.h"
#include "platform/Timers.h"
#include "tests/support/CallLog.h"

namespace tessaro::testing {

// Timers and the main queue in virtual time: nothing runs until the test advances the
// clock; then posted work and due timers run in order, as on the main thread.
class VirtualClock final : public MainQueue, public Timers {
public:
    explicit VirtualClock(CallLog& calls)
        : m_calls(calls)
    {
    }

    void post(std::function<void()> work) override;
    void schedule(double intervalSeconds, bool repeats, std::function<void()> action) override;

    // Runs everything that comes due up to now + seconds (posted work first).
    void advance(double seconds);
    void runPostedWork();
    double now() const { return m_now; }

    // While held, timers that come due wait (a modal alert is up).
    void setHeld(bool held) { m_held = held; }

private:
    struct Timer {
        double due;
        double interval;
        bool repeats;
        unsigned long order;
        std::function<void()> action;
    };

    CallLog& m_calls;
    double m_now = 0;
    bool m_held = false;
    unsigned long m_nextOrder = 0;
    std::vector<Timer> m_timers;
    std::mutex m_postedMutex;
    std::vector<std::function<void()>> m_posted;
};

}
