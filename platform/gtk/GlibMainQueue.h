#pragma once

#include "platform/MainQueue.h"

namespace tessaro {

// Work posted from any thread runs on the GLib main loop's thread.
class GlibMainQueue final : public MainQueue {
public:
    void post(std::function<void()> work) override;
};

}
