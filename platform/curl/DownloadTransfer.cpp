#include "platform/curl/DownloadTransfer.h"

#include <utility>

namespace tessaro {

DownloadTransfer::DownloadTransfer(std::string address, std::function<void(HttpDownload)> completion)
    : CurlTransfer(std::move(address))
    , m_completion(std::move(completion))
{
}

std::optional<std::string> DownloadTransfer::openSink(CURL*)
{
    return m_file.create();
}

std::optional<std::string> DownloadTransfer::write(std::string_view data)
{
    return m_file.append(data);
}

void DownloadTransfer::complete(Outcome outcome)
{
    HttpDownload result { std::nullopt, outcome.response, std::move(outcome.error) };
    if (!result.error)
        result.error = m_file.close();
    if (!result.error)
        result.temporaryFile = m_file.path();
    if (m_completion)
        m_completion(std::move(result));
}

}
