#include "platform/curl/DownloadTransfer.h"

#include <utility>

namespace tessaro {

DownloadTransfer::DownloadTransfer(std::string address, std::function<void(HttpDownload)> completion)
    : CurlTransfer(std::move(address))
    , completion(std::move(completion))
{
}

std::optional<std::string> DownloadTransfer::openSink(CURL*)
{
    return file.create();
}

std::optional<std::string> DownloadTransfer::write(std::string_view data)
{
    return file.append(data);
}

void DownloadTransfer::complete(Outcome outcome)
{
    HttpDownload result { std::nullopt, outcome.response, std::move(outcome.error) };
    if (!result.error) {
        result.error = file.close();
    }
    if (!result.error) {
        result.temporaryFile = file.path();
    }
    if (completion) {
        completion(std::move(result));
    }
}

}
