#pragma once

#include <functional>
#include <vector>

#include "platform/HttpClient.h"
#include "tests/support/CallLog.h"

namespace tessaro::testing {

// Requests wait until the test completes them; completing runs the completion on the
// test's thread, standing in for the worker thread.
class FakeHttpClient final : public HttpClient {
public:
    explicit FakeHttpClient(CallLog& calls)
        : m_calls(calls)
    {
    }

    void fetch(const std::string& address, std::function<void(HttpFetch)> completion) override;
    void download(const std::string& address, std::function<void(HttpDownload)> completion) override;

    void completeFetch(std::size_t index, HttpFetch result);
    void completeDownload(std::size_t index, HttpDownload result);

    struct Fetch {
        std::string address;
        std::function<void(HttpFetch)> completion;
    };
    struct Download {
        std::string address;
        std::function<void(HttpDownload)> completion;
    };
    std::vector<Fetch> fetches;
    std::vector<Download> downloads;

private:
    CallLog& m_calls;
};

}
