#include "platform/curl/CurlHttpClient.h"

#include <memory>
#include <utility>

#include "platform/curl/DownloadTransfer.h"
#include "platform/curl/FetchTransfer.h"

namespace tessaro {

CurlHttpClient::CurlHttpClient(std::string userAgent)
    : m_worker(std::move(userAgent))
{
}

void CurlHttpClient::fetch(const std::string& address, std::function<void(HttpFetch)> completion)
{
    m_worker.submit(std::make_unique<FetchTransfer>(address, std::move(completion)));
}

void CurlHttpClient::download(const std::string& address, std::function<void(HttpDownload)> completion)
{
    m_worker.submit(std::make_unique<DownloadTransfer>(address, std::move(completion)));
}

}
