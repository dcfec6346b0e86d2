#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/ScreenCasts.h"

namespace tessaro {

// The screen casts of the session's PipeWire (the one that XDG_RUNTIME_DIR or
// PIPEWIRE_REMOTE names), read in a few round trips on a connection of its own. No
// PipeWire, one that does not answer within the time limit, or one that goes away while
// it is read: no screen casts.
class PipeWireScreenCasts final : public ScreenCasts {
public:
    explicit PipeWireScreenCasts(std::chrono::milliseconds timeLimit = std::chrono::milliseconds(2000));

    std::vector<std::string> activeScreenCasts() override;

private:
    std::chrono::milliseconds m_timeLimit;
};

}
