#include "tests/e2e/support/ExamService.h"

#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/e2e/support/TemporaryFolder.h"

namespace tessaro::e2e {

std::string ExamService::origin()
{
    return "http://127.0.0.1:" + std::to_string(TESSARO_LOCAL_PORT);
}

ExamService::ExamService(const std::string& folder, const std::vector<std::string>& options)
    : m_log(folder + "/requests.jsonl")
{
    std::vector<std::string> argv { EXAM_SERVICE_BINARY, "--request-log", m_log };
    argv.insert(argv.end(), options.begin(), options.end());
    m_process = std::make_unique<Subprocess>(argv, inheritedEnvironment({}), folder + "/exam-service.log");
    if (!m_process->waitForLine([](const std::string& line) { return line.starts_with("exam-service listening on"); },
                                Seconds(10)))
        throw std::runtime_error("the exam service did not start (see " + folder + "/exam-service.log)");
}

std::vector<nlohmann::json> ExamService::requests() const
{
    std::vector<nlohmann::json> requests;
    std::istringstream lines(readFile(m_log));
    for (std::string line; std::getline(lines, line);) {
        auto request = nlohmann::json::parse(line, nullptr, false);
        if (!request.is_discarded())
            requests.push_back(std::move(request));
    }
    return requests;
}

std::vector<nlohmann::json> ExamService::requestsFor(const std::string& path) const
{
    std::vector<nlohmann::json> matching;
    for (auto& request : requests()) {
        if (request.value("path", "") == path)
            matching.push_back(std::move(request));
    }
    return matching;
}

std::vector<nlohmann::json> ExamService::reports() const
{
    std::vector<nlohmann::json> reports;
    for (const auto& request : requestsFor("/report")) {
        auto report = nlohmann::json::parse(request.value("body", ""), nullptr, false);
        if (!report.is_discarded())
            reports.push_back(std::move(report));
    }
    return reports;
}

std::optional<nlohmann::json> ExamService::waitForReport(const std::function<bool(const nlohmann::json&)>& matches,
                                                         Seconds timeout) const
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    for (;;) {
        for (const auto& report : reports()) {
            if (matches(report))
                return report;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::optional<nlohmann::json> ExamService::waitForMessage(const std::string& name, Seconds timeout) const
{
    return waitForReport(
        [&](const nlohmann::json& report) {
            return report.value("kind", "") == "message" && report.value("name", "") == name;
        },
        timeout);
}

std::vector<nlohmann::json> ExamService::messages(const std::string& name) const
{
    std::vector<nlohmann::json> matching;
    for (auto& report : reports()) {
        if (report.value("kind", "") == "message" && report.value("name", "") == name)
            matching.push_back(std::move(report));
    }
    return matching;
}

}
