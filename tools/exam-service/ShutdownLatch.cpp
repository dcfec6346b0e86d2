#include "ShutdownLatch.h"

namespace tessaro {

bool ShutdownLatch::waitFor(std::chrono::milliseconds delay) const
{
    std::unique_lock lock(m_mutex);
    return !m_changed.wait_for(lock, delay, [this] { return m_released; });
}

void ShutdownLatch::release()
{
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_changed.notify_all();
}

}
