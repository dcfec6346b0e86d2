#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tessaro {

// Lets deliberately slow answers end early once the service stops, so that stopping never
// waits for a delay that a test asked for.
class ShutdownLatch {
public:
    // Waits for `delay`; returns false when the service began to stop before it was over.
    bool waitFor(std::chrono::milliseconds delay) const;
    void release();

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_released = false;
};

}
