#include "bridge/MessageArguments.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

// The text read through now and kept in the pieces it came in: gathered into one string,
// each doubling of it would copy all that came before.
PageText readThrough(const PageText& text)
{
    std::vector<std::string> pieces;
    const bool read = text([&pieces](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
    });
    if (!read)
        return [](const TextPiece& /*piece*/) { return false; };
    return [pieces = std::move(pieces)](const TextPiece& piece) { return std::ranges::all_of(pieces, piece); };
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

void takeLongTextsOutOfTheEngine(MessageArguments& arguments)
{
    if (arguments.body.longText)
        arguments.body.longText = readThrough(arguments.body.longText);
    for (auto& [name, text] : arguments.body.longTexts)
        text = readThrough(text);
    if (arguments.slicedMember)
        arguments.slicedMember = readThrough(arguments.slicedMember);
}

}
