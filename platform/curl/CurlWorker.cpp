#include "platform/curl/CurlWorker.h"

#include <utility>

namespace tessaro {

namespace {

// curl shortens the wait to its own next timeout and submit() interrupts it, so this
// only bounds a wait with nothing to do.
constexpr int idleWaitMilliseconds = 60'000;

CURLM* createMulti()
{
    static std::once_flag initialised;
    static CURLcode initialisation = CURLE_OK;
    std::call_once(initialised, [] { initialisation = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return initialisation == CURLE_OK ? curl_multi_init() : nullptr;
}

}

CurlWorker::CurlWorker(std::string userAgent)
    : m_userAgent(std::move(userAgent))
    , m_multi(createMulti())
    , m_thread([this] { run(); })
{
}

CurlWorker::~CurlWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_arrivedOrStopping.notify_one();
    if (m_multi)
        curl_multi_wakeup(m_multi.get());
    m_thread.join();
}

void CurlWorker::submit(std::unique_ptr<CurlTransfer> transfer)
{
    {
        std::lock_guard lock(m_mutex);
        m_queued.push_back(std::move(transfer));
    }
    m_arrivedOrStopping.notify_one();
    if (m_multi)
        curl_multi_wakeup(m_multi.get());
}

void CurlWorker::run()
{
    Running running;
    std::vector<std::unique_ptr<CurlTransfer>> arrived;
    while (takeArrived(arrived)) {
        for (auto& transfer : arrived)
            start(std::move(transfer), running);
        arrived.clear();
        if (!m_multi)
            continue;
        int active = 0;
        curl_multi_perform(m_multi.get(), &active);
        finishDone(running);
        curl_multi_poll(m_multi.get(), nullptr, 0, idleWaitMilliseconds, nullptr);
    }
    abandon(running);
}

bool CurlWorker::takeArrived(std::vector<std::unique_ptr<CurlTransfer>>& arrived)
{
    std::unique_lock lock(m_mutex);
    // Without a multi handle nothing can run; every request fails as it arrives.
    if (!m_multi)
        m_arrivedOrStopping.wait(lock, [this] { return m_stopping || !m_queued.empty(); });
    arrived.swap(m_queued);
    return !m_stopping;
}

void CurlWorker::start(std::unique_ptr<CurlTransfer> transfer, Running& running)
{
    if (auto problem = begin(*transfer)) {
        transfer->fail(std::move(*problem));
        return;
    }
    CURL* handle = transfer->handle();
    running.emplace(handle, std::move(transfer));
}

std::optional<std::string> CurlWorker::begin(CurlTransfer& transfer)
{
    if (!m_multi)
        return "libcurl could not be set up";
    if (auto problem = transfer.open(m_userAgent))
        return problem;
    if (const CURLMcode code = curl_multi_add_handle(m_multi.get(), transfer.handle()); code != CURLM_OK)
        return "libcurl could not start the transfer: " + std::string(curl_multi_strerror(code));
    return std::nullopt;
}

void CurlWorker::finishDone(Running& running)
{
    int waiting = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi.get(), &waiting)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        // The message dies with the handle's removal; keep what it says first.
        CURL* handle = message->easy_handle;
        const CURLcode result = message->data.result;
        curl_multi_remove_handle(m_multi.get(), handle);
        auto done = running.extract(handle);
        done.mapped()->finish(result);
    }
}

void CurlWorker::abandon(Running& running)
{
    for (auto& [handle, transfer] : running)
        curl_multi_remove_handle(m_multi.get(), handle);
    running.clear();
}

}
