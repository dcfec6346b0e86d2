#pragma once

#include <functional>
#include <string>

#include "platform/HttpClient.h"
#include "platform/curl/CurlTransfer.h"
#include "platform/curl/DownloadBodyFile.h"

namespace tessaro {

// A GET whose body streams into a temporary file, so its size never matters to memory.
// The file is the completion's to move away; whatever is left of it is removed after.
class DownloadTransfer final : public CurlTransfer {
public:
    DownloadTransfer(std::string address, std::function<void(HttpDownload)> completion);

private:
    std::optional<std::string> openSink(CURL* easy) override;
    std::optional<std::string> write(std::string_view data) override;
    void complete(Outcome outcome) override;

    std::function<void(HttpDownload)> m_completion;
    DownloadBodyFile m_file;
};

}
