#include "bridge/MessageDispatcher.h"

#include <nlohmann/json.hpp>

#include "bridge/CommandDictionary.h"
#include "bridge/RunningApplicationReport.h"
#include "bridge/SecurityResponse.h"
#include "common/DiagnosticLine.h"
#include "common/PageMessenger.h"
#include "files/Downloads.h"
#include "files/SaveFile.h"
#include "platform/Application.h"
#include "platform/Pasteboard.h"
#include "platform/StandardOutput.h"

namespace tessaro {

namespace {

std::string textForm(const nlohmann::json& value)
{
    if (value.is_string())
        return value.get<std::string>();
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The body's tree with every long text read into its place; null when one cannot be read.
nlohmann::json wholeTree(MessageBody&& body)
{
    for (auto& [key, text] : body.longTexts) {
        std::string whole;
        if (!text([&whole](std::string_view piece) {
                whole.append(piece);
                return true;
            }))
            return nullptr;
        body.tree[key] = std::move(whole);
    }
    return std::move(body.tree);
}

}

MessageDispatcher::MessageDispatcher(StandardOutput& output, Pasteboard& pasteboard, Application& application,
                                     PageMessenger& page, RunningApplicationReport& runningApplicationReport,
                                     SaveFile& saveFile, Downloads& downloads)
    : m_output(output)
    , m_pasteboard(pasteboard)
    , m_application(application)
    , m_page(page)
    , m_runningApplicationReport(runningApplicationReport)
    , m_saveFile(saveFile)
    , m_downloads(downloads)
{
}

void MessageDispatcher::dispatch(const std::string& name, MessageBody message)
{
    m_output.writeLine(diagnosticLine(name));

    // A saved file's long content goes to the file as it is read, never held whole.
    PageText longContent;
    if (name == "saveFile") {
        if (const auto found = message.longTexts.find("content"); found != message.longTexts.end()) {
            longContent = std::move(found->second);
            message.longTexts.erase(found);
        }
    }
    nlohmann::json body = wholeTree(std::move(message));

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
        const PageText heldContent = [content](const TextPiece& piece) { return piece(*content); };
        m_saveFile.saveFile(*fileName, longContent ? longContent : heldContent);
    } else if (name == "security") {
        if (const auto* examKey = member(*dictionary, "examkey"))
            m_page.sendPageMessage("security", securityResponse(*examKey));
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
