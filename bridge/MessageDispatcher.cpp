#include "bridge/MessageDispatcher.h"

#include <nlohmann/json.hpp>

#include "bridge/CommandDictionary.h"
#include "bridge/RunningApplicationReport.h"
#include "bridge/SecurityResponse.h"
#include "common/DiagnosticLine.h"
#include "files/Downloads.h"
#include "files/SaveFile.h"
#include "platform/Application.h"
#include "platform/Pasteboard.h"
#include "platform/StandardOutput.h"
#include "web/ExamWebView.h"

namespace tessaro {

namespace {

std::string textForm(const nlohmann::json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}

MessageDispatcher::MessageDispatcher(StandardOutput& output, Pasteboard& pasteboard, Application& application,
                                     ExamWebView& webView, RunningApplicationReport& runningApplicationReport,
                                     SaveFile& saveFile, Downloads& downloads)
    : m_output(output)
    , m_pasteboard(pasteboard)
    , m_application(application)
    , m_webView(webView)
    , m_runningApplicationReport(runningApplicationReport)
    , m_saveFile(saveFile)
    , m_downloads(downloads)
{
}

void MessageDispatcher::dispatch(const std::string& name, nlohmann::json body)
{
    m_output.writeLine(diagnosticLine(name));

    if (name == "log") {
        m_output.writeLine(diagnosticLine(textForm(body)));
        return;
    }
    if (name == "processes") {
        m_runningApplicationReport.reportRunningApplications();
        return;
    }
    if (name == "quit") {
        m_pasteboard.clearContents();
        m_application.terminate();
        return;
    }

    const auto dictionary = commandDictionary(std::move(body));
    if (!dictionary)
        return;

    if (name == "saveFile") {
        const auto* fileName = member(*dictionary, "filename");
        const auto* content = member(*dictionary, "content");
        if (!fileName || !content) {
            m_output.writeLine("saveFile ignored: the message needs both \"filename\" and \"content\"");
            return;
        }
        m_saveFile.saveFile(*fileName, *content);
    } else if (name == "security") {
        if (const auto* examKey = member(*dictionary, "examkey"))
            m_webView.sendPageMessage("security", securityResponse(*examKey));
    } else if (name == "download") {
        const auto* url = member(*dictionary, "url");
        const auto* fileName = member(*dictionary, "name");
        if (!url || !fileName)
            return;
        m_output.writeLine(diagnosticLine(textForm(*dictionary)));
        m_downloads.downloadFile(*url, *fileName);
    }
}

}
