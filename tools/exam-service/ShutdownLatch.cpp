#include "ShutdownLatch.h"

namespace tessaro {

bool ShutdownLatch::waitFor(std::chrono::milliseconds delay) const
{
    std::unique_lock lock(mutex);
    return !changed.wait_for(lock, delay, [this] { return released; });
}

void ShutdownLatch::release()
{
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
}

}
