#pragma once

#include <functional>
#include <string>

#include "platform/HttpClient.h"
#include "platform/curl/CurlTransfer.h"

namespace tessaro {

// A GET whose body is kept in memory, up to a bound: what is fetched this way is small
// (the status document), so anything bigger is refused rather than held.
class FetchTransfer final : public CurlTransfer {
public:
    static constexpr size_t bodyLimitBytes = 16 * 1024 * 1024;

    FetchTransfer(std::string address, std::function<void(HttpFetch)> completion);

private:
    std::optional<std::string> openSink(CURL* easy) override;
    std::optional<std::string> write(std::string_view data) override;
    void complete(Outcome outcome) override;

    std::function<void(HttpFetch)> m_completion;
    std::string m_body;
};

}
