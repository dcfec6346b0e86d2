#pragma once

#include <functional>

namespace tessaro {

// Runs work later on the main thread, in the order it was posted. post() is the one
// operation of the host that may be called from any thread.
class MainQueue {
public:
    virtual ~MainQueue() = default;
    virtual void post(std::function<void()> work) = 0;
};

}
