#pragma once

#include <optional>

#include "bridge/CommandDictionary.h"
#include "common/MessageBody.h"
#include "common/PageText.h"

namespace tessaro {

struct BodyRule;
class StandardOutput;

// A page message's body as its rule gives it to the handler.
struct MessageArguments {
    // Any body: as it came, its long texts still unread.
    MessageBody body;
    // A dictionary: its members, the one read in slices left out.
    CommandDictionary members;
    // The member read in slices: the page's long text, or the text the body held.
    PageText slicedMember;
};

// The body as the rule gives it; nothing when it does not hold what the rule asks for.
std::optional<MessageArguments> readArguments(const BodyRule& rule, MessageBody&& body, StandardOutput& output);

// Reads the long texts the engine still holds, so that the message no longer needs the
// engine's copies; a text that cannot be read stays one that cannot.
void takeLongTextsOutOfTheEngine(MessageArguments& arguments);

}
