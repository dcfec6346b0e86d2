#pragma once

#include <string>

#include "bridge/MessageServices.h"

namespace tessaro {

struct MessageBody;

// Carries out the page's messages, one at a time, on the main thread, as their entries
// in the message table say. Every message first writes its name as a line; a message
// whose body does not hold what its entry asks for is ignored, and the page is never
// told of a failure.
class MessageDispatcher {
public:
    explicit MessageDispatcher(MessageServices services);

    void dispatch(const std::string& name, MessageBody body);

private:
    MessageServices m_services;
};

}
