#include "bridge/MessageDispatcher.h"

#include <algorithm>
#include <utility>

#include "bridge/MessageArguments.h"
#include "bridge/PageMessage.h"
#include "common/DiagnosticLine.h"
#include "common/MessageBody.h"
#include "platform/StandardOutput.h"

namespace tessaro {

MessageDispatcher::MessageDispatcher(MessageServices services)
    : m_services(services)
{
}

void MessageDispatcher::dispatch(const std::string& name, MessageBody body)
{
    m_services.output.writeLine(diagnosticLine(name));
    const auto messages = pageMessages();
    const auto message = std::ranges::find(messages, name, &PageMessage::name);
    if (message == messages.end())
        return;
    if (auto arguments = readArguments(message->body, std::move(body), m_services.output))
        message->handle(m_services, *arguments);
}

}
