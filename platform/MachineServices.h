#pragma once

#include <memory>
#include <string>

#include "platform/Machine.h"

namespace tessaro {

class MainQueue;

// The operating system's half of a host, which the toolkit's half is built around and
// hands out as its own.
class MachineServices : public Machine {
public:
    // Stops the worker threads: their completions reach the program's objects, which
    // go before the host does.
    virtual void stopBackgroundWork() = 0;
};

// The operating system's half this build links; its workers hand their results to the
// toolkit's main queue.
std::unique_ptr<MachineServices> makeMachineServices(MainQueue& mainQueue, const std::string& applicationVersion);

}
