#include "web/StatusCheck.h"

#include "common/DiagnosticLine.h"
#include "platform/HttpClient.h"
#include "platform/MainQueue.h"
#include "platform/StandardOutput.h"
#include "web/Launcher.h"
#include "web/StatusResponse.h"

namespace tessaro {

StatusCheck::StatusCheck(HttpClient& httpClient, MainQueue& mainQueue, StandardOutput& output, Launcher& launcher,
                         const std::string& examKey, std::string statusDocumentURL)
    : m_httpClient(httpClient)
    , m_mainQueue(mainQueue)
    , m_output(output)
    , m_launcher(launcher)
    , m_examKey(examKey)
    , m_statusDocumentURL(std::move(statusDocumentURL))
{
}

void StatusCheck::checkStatus()
{
    // The completion runs on a worker thread: it decodes and writes its line there, and
    // leaves the exam key and the web view to the main thread.
    m_httpClient.fetch(m_statusDocumentURL, [this](HttpFetch fetch) {
        if (fetch.error) {
            m_mainQueue.post([this] {
                m_output.writeLine(diagnosticLine(m_examKey));
                m_launcher.launchDefault();
            });
            return;
        }
        if (!fetch.body)
            return;

        auto decoded = decodeResponse(*fetch.body);
        if (const auto* error = std::get_if<DecodingError>(&decoded)) {
            m_output.writeLine(diagnosticLine(error->description));
            m_mainQueue.post([this] { m_launcher.launchDefault(); });
            return;
        }
        auto& response = std::get<Response>(decoded);
        m_output.writeLine(diagnosticLine(response.routing + " " + response.fallbackDomain));
        m_mainQueue.post(
            [this, routing = std::move(response.routing), fallbackDomain = std::move(response.fallbackDomain)] {
                m_launcher.launchExam(routing, fallbackDomain);
            });
    });
}

}
