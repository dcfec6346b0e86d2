#pragma once

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

// One message the page may post: its name, what its body must hold, and what carries it out.
struct PageMessage {
    std::string_view name;
    BodyRule body;
    void (*handle)(MessageServices& services, const MessageArguments& arguments);
};

// Every message the page may post, in the order the page's handlers are registered.
std::span<const PageMessage> pageMessages();

}
