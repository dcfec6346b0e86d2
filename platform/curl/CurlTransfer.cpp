#include "platform/curl/CurlTransfer.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tessaro {

namespace {

// Big reads keep loopback downloads close to what the curl tool achieves.
constexpr long receiveBufferBytes = 512 * 1024;
constexpr long maximumRedirects = 10;
constexpr long connectTimeoutSeconds = 60;
// A server that sends nothing for a minute is given up on.
constexpr long idleBytesPerSecond = 1;
constexpr long idleSeconds = 60;
// Pages choose some of the addresses; nothing but the web may ever be read, not even
// through a redirect.
constexpr const char* webProtocols = "http,https";

}

CurlTransfer::CurlTransfer(std::string address)
    : m_address(std::move(address))
{
}

std::optional<std::string> CurlTransfer::open(const std::string& userAgent)
{
    if (m_address.find('\0') != std::string::npos)
        return "the address contains a NUL character";
    m_easy.reset(curl_easy_init());
    if (!m_easy)
        return "libcurl could not create a transfer";
    if (auto problem = configure(userAgent))
        return problem;
    return openSink(m_easy.get());
}

std::optional<std::string> CurlTransfer::configure(const std::string& userAgent)
{
    CURL* handle = m_easy.get();
    const std::array results = {
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, m_errorText),
        curl_easy_setopt(handle, CURLOPT_URL, m_address.c_str()),
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L),
        curl_easy_setopt(handle, CURLOPT_USERAGENT, userAgent.c_str()),
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, webProtocols),
        curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, webProtocols),
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L),
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, maximumRedirects),
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds),
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, idleBytesPerSecond),
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, idleSeconds),
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L),
        // Abandoning a transfer at shutdown must not wait for a slow name lookup.
        curl_easy_setopt(handle, CURLOPT_QUICK_EXIT, 1L),
        curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, receiveBufferBytes),
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CurlTransfer::receive),
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, this),
    };
    const auto refused = std::find_if(results.begin(), results.end(), [](CURLcode code) { return code != CURLE_OK; });
    if (refused != results.end())
        return "libcurl refused a transfer setting: " + std::string(curl_easy_strerror(*refused));
    return std::nullopt;
}

size_t CurlTransfer::receive(char* data, size_t size, size_t count, void* transfer)
{
    auto* self = static_cast<CurlTransfer*>(transfer);
    self->m_sinkError = self->write(std::string_view(data, size * count));
    return self->m_sinkError ? 0 : size * count;
}

void CurlTransfer::finish(CURLcode result)
{
    Outcome outcome;
    long statusCode = 0;
    if (curl_easy_getinfo(m_easy.get(), CURLINFO_RESPONSE_CODE, &statusCode) == CURLE_OK && statusCode != 0)
        outcome.response = HttpResponse { statusCode };
    // The sink's own reason (a full disk, a body too large) says more than curl's
    // generic write error.
    if (m_sinkError) {
        outcome.error = m_sinkError;
    } else if (result != CURLE_OK) {
        outcome.error = describe(result);
    }
    complete(std::move(outcome));
}

void CurlTransfer::fail(std::string error)
{
    complete(Outcome { std::nullopt, std::move(error) });
}

std::string CurlTransfer::describe(CURLcode result) const
{
    return m_errorText[0] != '\0' ? std::string(m_errorText) : std::string(curl_easy_strerror(result));
}

}
