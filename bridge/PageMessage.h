#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace tessaro {

struct MessageArguments;
struct MessageServices;

// What a page message's body must hold for its handler to run.
struct BodyRule {
    // Any body at all, as it came: its long texts are read where they are used. Otherwise
    // only a dictionary whose every member is text (all or nothing) that holds each
    // required member.
    bool anyBody = false;
    std::vector<std::string_view> requiredMembers;
    // The required member read in slices where it is used, never held whole.
    std::string_view slicedMember;
    // Written when a required member is missing; without it the message is ignored silently.
    std::string_view incompleteLine;
};

// Called once every answer of a message answered later has gone to the page.
using Answered = std::function<void()>;

// One message the page may post: its name, what its body must hold, and what carries it
// out: handle, whose answer (if any) has gone to the page when it returns, or, for a
// message answered later (from a worker), answerLater. That carries out this many
// consecutive posts of the message together, one answer each, and calls answered when all
// are sent; the posts after them wait until then, so that no answer overtakes theirs.
struct PageMessage {
    std::string_view name;
    BodyRule body;
    void (*handle)(MessageServices& services, const MessageArguments& arguments) = nullptr;
    void (*answerLater)(MessageServices& services, std::size_t posts, Answered answered) = nullptr;
};

// Every message the page may post, in the order the page's handlers are registered.
std::span<const PageMessage> pageMessages();

}
