#pragma once

#include <functional>

namespace tessaro {

// Main-thread timers. A timer runs its action after the interval, once or again after
// every interval; nothing ever cancels one. While a modal alert is up no timer fires.
class Timers {
public:
    virtual ~Timers() = default;
    virtual void schedule(double intervalSeconds, bool repeats, std::function<void()> action) = 0;
};

}
