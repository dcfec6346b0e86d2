#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include <curl/curl.h>

#include "platform/curl/CurlTransfer.h"

namespace tessaro {

// The one thread that runs every transfer, all at once on a single curl multi handle,
// and runs their completions. Destroying it abandons what is still running: those
// completions never run. A completion must not destroy its own worker.
class CurlWorker {
public:
    explicit CurlWorker(std::string userAgent);
    ~CurlWorker();
    CurlWorker(const CurlWorker&) = delete;
    CurlWorker& operator=(const CurlWorker&) = delete;

    // Callable from any thread; returns at once.
    void submit(std::unique_ptr<CurlTransfer> transfer);

private:
    struct MultiCleanup {
        void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
    };
    using Running = std::unordered_map<CURL*, std::unique_ptr<CurlTransfer>>;

    void run();
    bool takeArrived(std::vector<std::unique_ptr<CurlTransfer>>& arrived);
    void start(std::unique_ptr<CurlTransfer> transfer, Running& running);
    std::optional<std::string> begin(CurlTransfer& transfer);
    void finishDone(Running& running);
    void abandon(Running& running);

    const std::string m_userAgent;
    const std::unique_ptr<CURLM, MultiCleanup> m_multi;
    std::mutex m_mutex;
    std::condition_variable m_arrivedOrStopping;
    std::vector<std::unique_ptr<CurlTransfer>> m_queued;
    bool m_stopping = false;
    std::thread m_thread;
};

}
