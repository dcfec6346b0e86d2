#pragma once

#include <string>

#include "platform/HttpClient.h"
#include "platform/curl/CurlWorker.h"

namespace tessaro {

// The program's own HTTP client, on libcurl. It identifies itself with the user agent
// it is given, never the web view's, and shares nothing with the web view.
class CurlHttpClient final : public HttpClient {
public:
    explicit CurlHttpClient(std::string userAgent);

    void fetch(const std::string& address, std::function<void(HttpFetch)> completion) override;
    void download(const std::string& address, std::function<void(HttpDownload)> completion) override;

private:
    CurlWorker m_worker;
};

}
