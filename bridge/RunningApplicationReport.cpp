#include "bridge/RunningApplicationReport.h"

#include <utility>

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

RunningApplicationReport::RunningApplicationReport(RunningApplicationScans& scans, ExamWebView& webView)
    : m_scans(scans)
    , m_webView(webView)
{
}

void RunningApplicationReport::reportRunningApplications()
{
    if (m_scanning) {
        ++m_waiting;
        return;
    }
    startScan(1);
}

void RunningApplicationReport::startScan(std::size_t answers)
{
    m_scanning = true;
    m_scans.scan([this, answers](std::vector<RunningApplication> applications) {
        const auto report = runningApplicationsJSON(applications);
        for (std::size_t answer = 0; answer < answers; ++answer)
            m_webView.sendPageMessage("processes", report);
        m_scanning = false;
        if (m_waiting > 0)
            startScan(std::exchange(m_waiting, 0));
    });
}

}
