#include <array>
#include <string>
#include <utility>

#include "bridge/BodyTextForm.h"
#include "bridge/MessageArguments.h"
#include "bridge/MessageServices.h"
#include "bridge/PageMessage.h"
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

void saveFile(MessageServices& services, const MessageArguments& arguments)
{
    services.saveFile.saveFile(arguments.members.at("filename"), arguments.slicedMember);
}

void security(MessageServices& services, const MessageArguments& arguments)
{
    // A key that cannot be read whole is no text: the message is ignored.
    const auto answer = securityResponse(arguments.slicedMember);
    if (!answer)
        return;
    // The page still hears the empty answer it always heard; the line says why it is empty.
    if (answer->empty())
        services.output.writeLine("security answer is empty: OpenSSL could not compute the HMAC");
    services.page.sendPageMessage("security", *answer);
}

void log(MessageServices& services, const MessageArguments& arguments)
{
    services.output.writeLineInPieces(diagnosticLinePieces(bodyTextForm(arguments.body)));
}

void quit(MessageServices& services, const MessageArguments& /*arguments*/)
{
    services.pasteboard.clearContents();
    services.application.terminate();
}

void download(MessageServices& services, const MessageArguments& arguments)
{
    services.output.writeLine(diagnosticLine(
        nlohmann::json(arguments.members).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)));
    services.downloads.downloadFile(arguments.members.at("url"), arguments.members.at("name"));
}

void processes(MessageServices& services, std::size_t posts, Answered answered)
{
    services.runningApplicationReport.reportRunningApplications(posts, std::move(answered));
}

}

std::span<const PageMessage> pageMessages()
{
    static const auto messages = std::to_array<PageMessage>({
        { "saveFile",
          { .requiredMembers = { "filename", "content" },
            .slicedMember = "content",
            .incompleteLine = "saveFile ignored: the message needs both \"filename\" and \"content\"" },
          saveFile },
        { "security", { .requiredMembers = { "examkey" }, .slicedMember = "examkey" }, security },
        { "log", { .anyBody = true }, log },
        { "quit", { .anyBody = true }, quit },
        { "download", { .requiredMembers = { "url", "name" } }, download },
        { "processes", { .anyBody = true }, nullptr, processes },
    });
    return messages;
}

}
