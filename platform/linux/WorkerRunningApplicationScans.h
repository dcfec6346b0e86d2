#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/RunningApplicationScans.h"

namespace tessaro {

class MainQueue;

// Scans on a thread of its own, which lives as long as this object. The applications
// are listed there, so the list must be callable from any thread (reading /proc is).
class WorkerRunningApplicationScans final : public RunningApplicationScans {
public:
    WorkerRunningApplicationScans(RunningApplications&, MainQueue&);
    ~WorkerRunningApplicationScans() override;
    WorkerRunningApplicationScans(const WorkerRunningApplicationScans&) = delete;
    WorkerRunningApplicationScans& operator=(const WorkerRunningApplicationScans&) = delete;

    void scan(std::function<void(std::vector<RunningApplication>)> done) override;

private:
    void work();

    RunningApplications& m_applications;
    MainQueue& m_mainQueue;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::function<void(std::vector<RunningApplication>)>> m_request;
    bool m_stopping = false;
    std::thread m_thread;
};

}
