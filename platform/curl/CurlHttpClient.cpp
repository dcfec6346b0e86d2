#include "platform/curl/CurlHttpClient.h"

#include "platform/curl/DownloadTransfer.h"
#include "platform/curl/FetchTransfer.h"

#include <memory>
#include <utility>

namespace tessaro {

CurlHttpClient::CurlHttpClient(std::string userAgent)
    : worker(std::move(userAgent))
{
}

void CurlHttpClient::fetch(const std::string& address, std::function<void(HttpFetch)> completion)
{
    worker.submit(std::make_unique<FetchTransfer>(address, std::move(completion)));
}

void CurlHttpClient::download(const std::string& address, std::function<void(HttpDownload)> completion)
{
    worker.submit(std::make_unique<DownloadTransfer>(address, std::move(completion)));
}

}
