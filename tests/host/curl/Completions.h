#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tessaro {

// Collects what completions receive, and on which thread, from any thread.
template <typename Result> class Completions {
public:
    struct Seen {
        Result result;
        std::thread::id thread;
    };

    std::function<void(Result)> callback()
    {
        return [this](Result result) { record(std::move(result)); };
    }

    void record(Result result)
    {
        std::lock_guard lock(m_mutex);
        m_seen.push_back(Seen { std::move(result), std::this_thread::get_id() });
        m_arrived.notify_all();
    }

    // Waits for `count` completions; the bound only keeps a lost completion from
    // hanging the test.
    std::vector<Seen> waitFor(size_t count)
    {
        std::unique_lock lock(m_mutex);
        EXPECT_TRUE(m_arrived.wait_for(lock, std::chrono::minutes(1), [&] { return m_seen.size() >= count; }))
            << m_seen.size() << " of " << count << " completions arrived";
        return m_seen;
    }

    std::vector<Seen> all()
    {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Seen> m_seen;
};

}
