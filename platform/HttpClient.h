#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tessaro {

// What came back from the server, when anything did.
struct HttpResponse {
    long statusCode = 0;
};

struct HttpFetch {
    std::optional<std::string> body;
    std::optional<HttpResponse> response;
    std::optional<std::string> error; // as a download's
};

struct HttpDownload {
    std::optional<std::string> temporaryFile; // removed after the completion returns
    std::optional<HttpResponse> response;
    // Why no file arrived, in words a person can act on: the refused connection, the
    // unknown host, the certificate problem, the full temporary folder.
    std::optional<std::string> error;
};

// Plain GETs with the platform's defaults (redirects followed, the system's CA store,
// its own user agent; no cookies of the web view). Each completion runs exactly once,
// on a worker thread, never on the main thread.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual void fetch(const std::string& address, std::function<void(HttpFetch)> completion) = 0;
    virtual void download(const std::string& address, std::function<void(HttpDownload)> completion) = 0;
};

}
