#pragma once

#include <utility>

#include "platform/RunningApplicationScans.h"
#include "tests/support/FakeServices.h"
#include "tests/support/VirtualClock.h"

namespace tessaro::testing {

// Scans in virtual time: each takes scanSeconds of the clock and lists the applications
// as they were when it began.
class FakeRunningApplicationScans final : public RunningApplicationScans {
public:
    FakeRunningApplicationScans(FakeRunningApplications& applications, VirtualClock& clock)
        : m_applications(applications)
        , m_clock(clock)
    {
    }
    void scan(std::function<void(std::vector<RunningApplication>)> done) override
    {
        m_clock.schedule(scanSeconds, false,
                         [applications = m_applications.runningApplications(), done = std::move(done)]() mutable {
                             done(std::move(applications));
                         });
    }
    double scanSeconds = 0;

private:
    FakeRunningApplications& m_applications;
    VirtualClock& m_clock;
};

}
