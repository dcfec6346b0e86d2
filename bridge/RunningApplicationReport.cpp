#include "bridge/RunningApplicationReport.h"

#include <algorithm>
#include <utility>

#include <nlohmann/json.hpp>

#include "common/PageMessenger.h"
#include "platform/MainQueue.h"

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

namespace {

// Answers sent in one turn of the main loop.
constexpr std::size_t answersPerTurn = 100;

}

RunningApplicationReport::RunningApplicationReport(RunningApplicationScans& scans, MainQueue& mainQueue,
                                                   PageMessenger& page)
    : m_scans(scans)
    , m_mainQueue(mainQueue)
    , m_page(page)
{
}

void RunningApplicationReport::reportRunningApplications(std::size_t posts, std::function<void()> answered)
{
    m_scans.scan([this, posts, answered = std::move(answered)](std::vector<RunningApplication> applications) mutable {
        answer(runningApplicationsJSON(applications), posts, std::move(answered));
    });
}

void RunningApplicationReport::answer(std::string report, std::size_t posts, std::function<void()> answered)
{
    const std::size_t now = std::min(posts, answersPerTurn);
    for (std::size_t sent = 0; sent < now; ++sent)
        m_page.sendPageMessage("processes", report);
    if (posts > now) {
        m_mainQueue.post(
            [this, report = std::move(report), left = posts - now, answered = std::move(answered)]() mutable {
                answer(std::move(report), left, std::move(answered));
            });
        return;
    }
    answered();
}

}
