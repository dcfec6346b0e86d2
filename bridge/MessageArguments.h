#pragma once

#include <optional>

#include <nlohmann/json.hpp>

#include "bridge/CommandDictionary.h"
#include "common/PageText.h"

namespace tessaro {

struct BodyRule;
struct MessageBody;
class StandardOutput;

// A page message's body as its rule gives it to the handler.
struct MessageArguments {
    // Any body: its value tree with every long text read in; null when one cannot be read.
    nlohmann::json tree;
    // A dictionary: its members, the one read in slices left out.
    CommandDictionary members;
    // The member read in slices: the page's long text, or the text the body held.
    PageText slicedMember;
};

// The body as the rule gives it; nothing when it does not hold what the rule asks for.
std::optional<MessageArguments> readArguments(const BodyRule& rule, MessageBody&& body, StandardOutput& output);

}
