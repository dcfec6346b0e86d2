#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/RunningApplicationScans.h"

namespace tessaro {

class PageMessenger;
class MainQueue;

// The running applications as compact JSON: one element per application, in the
// platform's order, [identifier, name] when both are known and [] otherwise.
std::string runningApplicationsJSON(const std::vector<RunningApplication>& applications);

// Answers the page's "processes" posts with the list one scan, started when asked,
// finds: each post exactly once, a batch per turn of the main loop so that a burst of
// posts never holds the window up, then says that all are answered. Posts that arrive
// during a scan wait in the dispatcher's queue, and the next scan answers them together.
class RunningApplicationReport {
public:
    RunningApplicationReport(RunningApplicationScans&, MainQueue&, PageMessenger&);
    // The caller asks for no report while another is being answered.
    void reportRunningApplications(std::size_t posts, std::function<void()> answered);

private:
    void answer(std::string report, std::size_t posts, std::function<void()> answered);

    RunningApplicationScans& m_scans;
    MainQueue& m_mainQueue;
    PageMessenger& m_page;
};

}
