#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/MainQueue.h"
#include "platform/linux/WorkerRunningApplicationScans.h"

namespace tessaro {
namespace {

// The main queue as the test thread's own loop.
class TestThreadQueue final : public MainQueue {
public:
    void post(std::function<void()> work) override
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(work));
    }
    void runPostedWork()
    {
        std::vector<std::function<void()>> work;
        {
            const std::lock_guard lock(m_mutex);
            work.swap(m_posted);
        }
        for (auto& item : work)
            item();
    }

private:
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_posted;
};

// Numbers its lists and notes the thread that made them.
class NumberedLists final : public RunningApplications {
public:
    std::vector<RunningApplication> runningApplications() override
    {
        listedOn = std::this_thread::get_id();
        return { ApplicationData { "list", std::to_string(++m_count) } };
    }
    std::vector<RunningApplication> everyProcess() override { return {}; }
    std::thread::id listedOn;

private:
    int m_count = 0;
};

TEST(WorkerRunningApplicationScans, ListsOnItsOwnThreadAndAnswersThroughTheMainQueue)
{
    const auto testThread = std::this_thread::get_id();
    TestThreadQueue queue;
    NumberedLists applications;
    std::vector<std::string> answers;
    {
        WorkerRunningApplicationScans scans(applications, queue);
        for (int scan = 0; scan < 3; ++scan) {
            bool answered = false;
            scans.scan([&](std::vector<RunningApplication> list) {
                EXPECT_EQ(std::this_thread::get_id(), testThread);
                answers.push_back(list.at(0)->name);
                answered = true;
            });
            while (!answered) {
                queue.runPostedWork();
                std::this_thread::yield();
            }
        }
    }
    EXPECT_EQ(answers, (std::vector<std::string> { "1", "2", "3" }));
    EXPECT_NE(applications.listedOn, testThread);
}

}
}
