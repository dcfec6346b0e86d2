#include "bridge/MessageDispatcher.h"

#include <algorithm>
#include <utility>

#include "bridge/PageMessage.h"
#include "common/DiagnosticLine.h"
#include "common/MessageBody.h"
#include "platform/MainQueue.h"
#include "platform/StandardOutput.h"

namespace tessaro {

MessageDispatcher::MessageDispatcher(MessageServices services, MainQueue& mainQueue)
    : m_services(services)
    , m_mainQueue(mainQueue)
{
}

void MessageDispatcher::dispatch(const std::string& name, MessageBody body)
{
    m_services.output.writeLine(diagnosticLine(name));
    const auto messages = pageMessages();
    const auto message = std::ranges::find(messages, name, &PageMessage::name);
    if (message == messages.end())
        return;
    auto arguments = readArguments(message->body, std::move(body), m_services.output);
    if (!arguments)
        return;
    // A post that must wait its turn reads its long texts now: kept referenced while it
    // waits, the engine's copy outlives its collections and stays resident long after
    // the message is done.
    if (m_held || !m_waiting.empty())
        takeLongTextsOutOfTheEngine(*arguments);
    m_waiting.push_back({ &*message, std::move(*arguments) });
    carryOutWaiting();
}

void MessageDispatcher::carryOutWaiting()
{
    for (std::size_t carriedOut = 0; !m_held && !m_waiting.empty(); ++carriedOut) {
        if (carriedOut == postsPerTurn) {
            m_held = true;
            m_mainQueue.post([this] {
                m_held = false;
                carryOutWaiting();
            });
            return;
        }
        const Post post = std::move(m_waiting.front());
        m_waiting.pop_front();
        if (post.message->handle) {
            post.message->handle(m_services, post.arguments);
            continue;
        }
        // Posts of the same message next in line share its answer's work (one scan).
        std::size_t posts = 1;
        for (; !m_waiting.empty() && m_waiting.front().message == post.message; ++posts)
            m_waiting.pop_front();
        m_held = true;
        post.message->answerLater(m_services, posts, [this] {
            m_held = false;
            carryOutWaiting();
        });
    }
}

}
