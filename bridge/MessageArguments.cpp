#include "bridge/MessageArguments.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "bridge/PageMessage.h"
#include "common/MessageBody.h"
#include "platform/StandardOutput.h"

namespace tessaro {

namespace {

// A long text read whole. Its size is read first, so that it is taken once and never
// moved: growing it piece by piece would hold it twice while it moves.
std::optional<std::string> wholeText(const PageText& text)
{
    std::size_t size = 0;
    if (!text([&size](std::string_view piece) {
            size += piece.size();
            return true;
        }))
        return std::nullopt;
    std::string whole;
    whole.reserve(size);
    if (!text([&whole](std::string_view piece) {
            whole.append(piece);
            return true;
        }))
        return std::nullopt;
    return whole;
}

// The body's tree with every long text read into its place; null when one cannot be read.
nlohmann::json wholeTree(MessageBody&& body)
{
    for (auto& [key, text] : body.longTexts) {
        auto whole = wholeText(text);
        if (!whole)
            return nullptr;
        body.tree[key] = std::move(*whole);
    }
    return std::move(body.tree);
}

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
    auto dictionary = commandDictionary(wholeTree(std::move(body)));
    if (!dictionary)
        return std::nullopt;
    const bool complete = std::ranges::all_of(
        rule.requiredMembers, [&](std::string_view name) { return dictionary->contains(std::string(name)); });
    if (!complete) {
        if (!rule.incompleteLine.empty())
            output.writeLine(std::string(rule.incompleteLine));
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
