#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/RunningApplicationScans.h"

namespace tessaro {

class PageMessenger;
class MainQueue;

// The running applications as compact JSON: one element per application, in the
// platform's order, [identifier, name] when both are known and [] otherwise.
std::string runningApplicationsJSON(const std::vector<RunningApplication>& applications);

// Answers the page's "processes" commands, each exactly once, in order, with a list
// scanned after the command arrived. Commands that arrive during a scan wait for the
// next one, which answers them all, a batch per turn of the main loop so that a burst
// of commands never holds the window up.
class RunningApplicationReport {
public:
    RunningApplicationReport(RunningApplicationScans&, MainQueue&, PageMessenger&);
    void reportRunningApplications();

private:
    void startScan(std::size_t answers);
    void answer(std::string report, std::size_t answers);

    RunningApplicationScans& m_scans;
    MainQueue& m_mainQueue;
    PageMessenger& m_page;
    bool m_scanning = false;
    std::size_t m_waiting = 0;
};

}
