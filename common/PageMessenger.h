#pragma once

#include <string_view>

#include "common/PagePayload.h"

namespace tessaro {

// Where the program's answers to the page go: the exam web view carries them into the
// page. Nothing reports whether a message arrived, so no failure is ever told.
class PageMessenger {
public:
    virtual ~PageMessenger() = default;
    virtual void sendPageMessage(std::string_view name, const PagePayload& payload) = 0;
};

}
