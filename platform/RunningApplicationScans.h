#pragma once

#include <functional>
#include <vector>

#include "platform/RunningApplications.h"

namespace tessaro {

// Lists the user's running applications away from the main thread.
class RunningApplicationScans {
public:
    virtual ~RunningApplicationScans() = default;
    // Starts a scan and hands its list to done later on the main thread, through the
    // main queue; never calls done at once. The caller starts no scan while another runs.
    virtual void scan(std::function<void(std::vector<RunningApplication>)> done) = 0;
};

}
