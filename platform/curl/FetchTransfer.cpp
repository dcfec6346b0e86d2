#include "platform/curl/FetchTransfer.h"

#include <utility>

namespace tessaro {

namespace {

const std::string tooLarge = "the response body is larger than 16 MiB";

}

FetchTransfer::FetchTransfer(std::string address, std::function<void(HttpFetch)> completion)
    : CurlTransfer(std::move(address))
    , m_completion(std::move(completion))
{
}

std::optional<std::string> FetchTransfer::openSink(CURL* easy)
{
    // Refuses an announced oversized body before any of it arrives.
    if (curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(bodyLimitBytes)) != CURLE_OK)
        return "libcurl refused the body size limit";
    return std::nullopt;
}

std::optional<std::string> FetchTransfer::write(std::string_view data)
{
    // A body of unannounced length is only found too large as it arrives.
    if (data.size() > bodyLimitBytes - m_body.size())
        return tooLarge;
    m_body.append(data);
    return std::nullopt;
}

void FetchTransfer::complete(Outcome outcome)
{
    if (!m_completion)
        return;
    HttpFetch result { std::nullopt, outcome.response, std::move(outcome.error) };
    if (!result.error)
        result.body = std::move(m_body);
    m_completion(std::move(result));
}

}
