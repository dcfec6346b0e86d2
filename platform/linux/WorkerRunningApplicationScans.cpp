#include "platform/linux/WorkerRunningApplicationScans.h"

#include "platform/MainQueue.h"

namespace tessaro {

WorkerRunningApplicationScans::WorkerRunningApplicationScans(RunningApplications& applications, MainQueue& mainQueue)
    : m_applications(applications)
    , m_mainQueue(mainQueue)
    , m_thread([this] { work(); })
{
}

WorkerRunningApplicationScans::~WorkerRunningApplicationScans()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void WorkerRunningApplicationScans::scan(std::function<void(std::vector<RunningApplication>)> done)
{
    {
        const std::lock_guard lock(m_mutex);
        m_request = std::move(done);
    }
    m_wake.notify_one();
}

void WorkerRunningApplicationScans::work()
{
    for (;;) {
        std::function<void(std::vector<RunningApplication>)> done;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_request; });
            if (m_stopping)
                return;
            done = std::move(*m_request);
            m_request.reset();
        }
        m_mainQueue.post([done = std::move(done), applications = m_applications.runningApplications()]() mutable {
            done(std::move(applications));
        });
    }
}

}
