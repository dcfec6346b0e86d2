#include "DownloadEndpoints.h"

#include <charconv>
#include <optional>

#include "DecimalSeconds.h"
#include "exam-service-assets/notFoundPage.h"

namespace tessaro {

namespace {

constexpr std::chrono::milliseconds defaultSlowDelay { 2000 };

std::optional<uint64_t> byteCount(const std::string& text)
{
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc {} || stop != end)
        return std::nullopt;
    return value;
}

void refuse(httplib::Response& response, const std::string& why)
{
    response.status = 400;
    response.set_content(why + "\n", "text/plain; charset=utf-8");
}

}

DownloadEndpoints::DownloadEndpoints(const ShutdownLatch& latch)
    : m_latch(latch)
{
}

void DownloadEndpoints::small(const httplib::Request&, httplib::Response& response) const
{
    response.set_content("A small text file from the Tessaro local exam service.\n", "text/plain; charset=utf-8");
}

// Streamed from one small buffer, so a gigabyte costs no more memory than a megabyte.
void DownloadEndpoints::large(const httplib::Request& request, httplib::Response& response) const
{
    std::optional<uint64_t> size = defaultLargeSize;
    if (request.has_param("bytes"))
        size = byteCount(request.get_param_value("bytes"));
    if (!size) {
        refuse(response, "bytes must be a whole number of bytes");
        return;
    }
    if (*size == 0) {
        // httplib treats a provider of length zero as one of unknown length.
        response.set_content("", "application/octet-stream");
        return;
    }
    response.set_content_provider(*size, "application/octet-stream",
                                  [this](size_t offset, size_t length, httplib::DataSink& sink) {
                                      std::string_view piece = m_pattern.at(offset, length);
                                      return sink.write(piece.data(), piece.size());
                                  });
}

void DownloadEndpoints::missing(const httplib::Request&, httplib::Response& response) const
{
    response.status = 404;
    response.set_content(assets::notFoundPage.data(), assets::notFoundPage.size(), "text/html; charset=utf-8");
}

void DownloadEndpoints::slow(const httplib::Request& request, httplib::Response& response) const
{
    std::optional<std::chrono::milliseconds> delay = defaultSlowDelay;
    if (request.has_param("seconds"))
        delay = DecimalSeconds::parse(request.get_param_value("seconds"));
    if (!delay) {
        refuse(response, "seconds must be decimal seconds from 0 to 3600");
        return;
    }
    m_latch.waitFor(*delay);
    response.set_content("A text file that took its time.\n", "text/plain; charset=utf-8");
}

void DownloadEndpoints::attachment(const httplib::Request&, httplib::Response& response) const
{
    response.set_header("Content-Disposition", R"(attachment; filename="attachment.txt")");
    response.set_content("A text file the service asks to be saved, not shown.\n", "application/octet-stream");
}

}
