#include "files/Downloads.h"

#include <variant>

#include "common/DiagnosticLine.h"
#include "common/PageMessenger.h"
#include "files/DownloadsFolder.h"
#include "files/FileName.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/MainQueue.h"
#include "platform/StandardOutput.h"
#include "platform/Url.h"

namespace tessaro {

namespace {

constexpr long firstHttpErrorStatus = 400;

}

Downloads::Downloads(HttpClient& httpClient, Files& files, MainQueue& mainQueue, StandardOutput& output,
                     PageMessenger& page)
    : m_httpClient(httpClient)
    , m_files(files)
    , m_mainQueue(mainQueue)
    , m_output(output)
    , m_page(page)
{
}

void Downloads::downloadFile(const std::string& url, const std::string& name)
{
    if (!isPlainFileName(name)) {
        m_output.writeLine(diagnosticLine("download refused: \"" + name + "\" is not a plain file name"));
        return;
    }
    if (!url::isValid(url)) {
        m_output.writeLine(diagnosticLine("download refused: \"" + url + "\" is not a valid address"));
        return;
    }

    // The completion runs on a worker thread: the file is moved there, before the
    // temporary file goes away; only the page call waits for the main thread.
    m_httpClient.download(url, [this, url, name](HttpDownload download) {
        // The host's reason names what failed: the connection, the name lookup, the
        // server's certificate, the temporary folder.
        if (!download.temporaryFile) {
            m_output.writeLine(
                diagnosticLine("download failed: " + url + ": " + download.error.value_or("no file was received")));
            return;
        }
        if (download.response && download.response->statusCode >= firstHttpErrorStatus) {
            m_output.writeLine(diagnosticLine("download failed: the server answered " + url + " with HTTP status "
                                              + std::to_string(download.response->statusCode)));
            return;
        }

        const auto stored = storeInDownloads(m_files, name, [this, &download](const std::string& destination) {
            return m_files.moveWithoutReplacing(*download.temporaryFile, destination);
        });
        if (const auto* error = std::get_if<FileError>(&stored)) {
            m_output.writeLine(diagnosticLine("download failed: " + error->description));
            return;
        }
        m_mainQueue.post([this] { m_page.sendPageMessage("downloaded", true); });
    });
}

}
