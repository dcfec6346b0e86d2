#include "bridge/MessageArguments.h"

#include <algorithm>
#include <string>
#include <utility>

#include "bridge/PageMessage.h"
#include "common/MessageBody.h"
#include "platform/StandardOutput.h"

namespace tessaro {

namespace {

// The sliced member's long text, taken out of the body so that it is not read whole with
// the rest. A page may name a member "": only a rule's sliced member is ever taken.
PageText takeLongText(MessageBody& body, const BodyRule& rule)
{
    if (rule.slicedMember.empty())
        return {};
    const auto found = body.longTexts.find(std::string(rule.slicedMember));
    if (found == body.longTexts.end())
        return {};
    PageText text = std::move(found->second);
    body.longTexts.erase(found);
    return text;
}

}

std::optional<MessageArguments> readArguments(const BodyRule& rule, MessageBody&& body, StandardOutput& output)
{
    MessageArguments arguments;
    if (rule.anyBody) {
        arguments.body = std::move(body);
        return arguments;
    }

    PageText longText = takeLongText(body, rule);
    auto dictionary = commandDictionary(std::move(body.tree));
    if (!dictionary)
        return std::nullopt;
    const bool complete = std::ranges::all_of(
        rule.requiredMembers, [&](std::string_view name) { return dictionary->contains(std::string(name)); });
    if (!complete) {
        if (!rule.incompleteLine.empty())
            output.writeLine(std::string(rule.incompleteLine));
        return std::nullopt;
    }
    // Any other member that long is more than the message can use (no address or file
    // name is a million characters long), and reading it whole would hold it beside the
    // engine's own copies: the message is ignored, and says so.
    if (!body.longTexts.empty()) {
        output.writeLine("Message ignored: a member is over a million characters long");
        return std::nullopt;
    }

    arguments.members = std::move(*dictionary);
    if (!rule.slicedMember.empty()) {
        auto held = arguments.members.extract(std::string(rule.slicedMember));
        arguments.slicedMember = longText
            ? std::move(longText)
            : PageText([text = std::move(held.mapped())](const TextPiece& piece) { return piece(text); });
    }
    return arguments;
}

}
