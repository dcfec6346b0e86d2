#include "tests/support/FakeHttpClient.h"

#include <stdexcept>
#include <utility>

namespace tessaro::testing {

void FakeHttpClient::fetch(const std::string& address, std::function<void(HttpFetch)> completion)
{
    fetches.push_back({ address, std::move(completion) });
    m_calls.add("http.fetch " + address);
}

void FakeHttpClient::download(const std::string& address, std::function<void(HttpDownload)> completion)
{
    downloads.push_back({ address, std::move(completion) });
    m_calls.add("http.download " + address);
}

void FakeHttpClient::completeFetch(std::size_t index, HttpFetch result)
{
    auto completion = std::exchange(fetches.at(index).completion, nullptr);
    if (!completion)
        throw std::logic_error("a fetch completes once");
    completion(std::move(result));
}

void FakeHttpClient::completeDownload(std::size_t index, HttpDownload result)
{
    auto completion = std::exchange(downloads.at(index).completion, nullptr);
    if (!completion)
        throw std::logic_error("a download completes once");
    completion(std::move(result));
}

}
