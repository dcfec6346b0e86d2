#include "bridge/RunningApplicationReport.h"

#include <nlohmann/json.hpp>

#include "web/ExamWebView.h"

namespace tessaro {

std::string runningApplicationsJSON(const std::vector<RunningApplication>& applications)
{
    auto report = nlohmann::json::array();
    for (const auto& application : applications) {
        if (application) {
            report.push_back({ application->bundleIdentifier, application->name });
        } else {
            report.push_back(nlohmann::json::array());
        }
    }
    // Process names are bytes, not always UTF-8. One such name must not blank the
    // whole report (that would hide every application from the page): it is sent with
    // replacement characters instead.
    try {
        return report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    } catch (const std::exception&) {
        return {};
    }
}

RunningApplicationReport::RunningApplicationReport(RunningApplications& runningApplications, ExamWebView& webView)
    : m_runningApplications(runningApplications)
    , m_webView(webView)
{
}

void RunningApplicationReport::reportRunningApplications()
{
    m_webView.sendPageMessage("processes", runningApplicationsJSON(m_runningApplications.runningApplications()));
}

}
