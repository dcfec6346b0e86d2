#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <curl/curl.h>

#include "platform/HttpClient.h"

namespace tessaro {

// One GET on its own easy handle, with this program's settings. Lives on the worker
// thread from open() on; its completion runs exactly once, through finish() or fail().
class CurlTransfer {
public:
    explicit CurlTransfer(std::string address);
    virtual ~CurlTransfer() = default;
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Prepares the handle; says why when the transfer cannot even start.
    std::optional<std::string> open(const std::string& userAgent);
    CURL* handle() const { return m_easy.get(); }
    // Hands what curl made of the transfer to the completion.
    void finish(CURLcode result);
    // Hands a transfer that never reached the network to the completion.
    void fail(std::string error);

protected:
    // What every completion learns besides the body.
    struct Outcome {
        std::optional<HttpResponse> response;
        std::optional<std::string> error;
    };

    // Sets up where the body goes; says why when it cannot.
    virtual std::optional<std::string> openSink(CURL* easy) = 0;
    // Keeps a piece of the body; says why when it cannot, which aborts the transfer.
    virtual std::optional<std::string> write(std::string_view data) = 0;
    // Runs the completion; the body is only the caller's when the outcome has no error.
    virtual void complete(Outcome outcome) = 0;

private:
    struct EasyCleanup {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };

    static size_t receive(char* data, size_t size, size_t count, void* transfer);
    std::optional<std::string> configure(const std::string& userAgent);
    std::string describe(CURLcode result) const;

    std::string m_address;
    std::unique_ptr<CURL, EasyCleanup> m_easy;
    char m_errorText[CURL_ERROR_SIZE] = {};
    std::optional<std::string> m_sinkError;
};

}
