#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "bridge/MessageArguments.h"
#include "bridge/MessageServices.h"

namespace tessaro {

class MainQueue;
struct MessageBody;
struct PageMessage;

// Carries out the page's messages, one at a time, on the main thread, in the order they
// were posted, as their entries in the message table say. Every post first writes its
// name as a line; one whose body does not hold what its entry asks for is ignored, and
// the page is never told of a failure. While a message's answer is still to come (a
// scan's report), the posts after it wait their turn, so no answer overtakes the answer
// to an earlier post; a message that sends no answer, or whose answer is the end of a
// transfer (a download's), holds nothing.
class MessageDispatcher {
public:
    // Waiting posts carried out in one turn of the main loop, so that a burst that waited
    // never holds the window up.
    static constexpr std::size_t postsPerTurn = 100;

    MessageDispatcher(MessageServices services, MainQueue& mainQueue);

    void dispatch(const std::string& name, MessageBody body);

private:
    struct Post {
        const PageMessage* message;
        MessageArguments arguments;
    };

    void carryOutWaiting();

    MessageServices m_services;
    MainQueue& m_mainQueue;
    std::deque<Post> m_waiting;
    // An answer is still to come, or the waiting posts continue on a later turn.
    bool m_held = false;
};

}
