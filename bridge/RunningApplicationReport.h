#pragma once

#include <string>
#include <vector>

#include "platform/RunningApplications.h"

namespace tessaro {

class ExamWebView;

// The running applications as compact JSON: one element per application, in the
// platform's order, [identifier, name] when both are known and [] otherwise.
std::string runningApplicationsJSON(const std::vector<RunningApplication>& applications);

// Answers the page's "processes" command with a fresh list, every time exactly once.
class RunningApplicationReport {
public:
    RunningApplicationReport(RunningApplications&, ExamWebView&);
    void reportRunningApplications();

private:
    RunningApplications& m_runningApplications;
    ExamWebView& m_webView;
};

}
