#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/MainQueue.h"
#include "platform/linux/WorkerRunningApplicationScans.h"

namespace tessaro {
namespace {

// The main queue as the test thread's own loop, and numbered lists made on another thread.
class TestThread final : public MainQueue, public RunningApplications {
public:
    void post(std::function<void()> work) override
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(work));
    }
    void runPostedWork()
    {
        const std::lock_guard lock(m_mutex); // the work posted here posts nothing
        for (auto& work : m_posted)
            work();
        m_posted.clear();
        std::this_thread::yield();
    }
    std::vector<RunningApplication> runningApplications() override
    {
        listedElsewhere = listedElsewhere || std::this_thread::get_id() != m_id;
        return { ApplicationData { "list", std::to_string(++m_count) } };
    }
    std::vector<RunningApplication> everyProcess() override { return {}; }

    std::atomic<bool> listedElsewhere = false;

private:
    const std::thread::id m_id = std::this_thread::get_id();
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_posted;
    int m_count = 0;
};

TEST(WorkerRunningApplicationScans, ListsOnItsOwnThreadAndAnswersThroughTheMainQueue)
{
    TestThread testThread;
    const auto mainThread = std::this_thread::get_id();
    std::vector<std::string> answers;
    {
        WorkerRunningApplicationScans scans(testThread, testThread);
        for (std::size_t scan = 1; scan <= 3; ++scan) {
            scans.scan([&](std::vector<RunningApplication> list) {
                EXPECT_EQ(std::this_thread::get_id(), mainThread);
                answers.push_back(list.at(0)->name);
            });
            while (answers.size() < scan)
                testThread.runPostedWork();
        }
    }
    EXPECT_EQ(answers, (std::vector<std::string> { "1", "2", "3" }));
    EXPECT_TRUE(testThread.listedElsewhere);
}

}
}
