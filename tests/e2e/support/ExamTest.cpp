#include "tests/e2e/support/ExamTest.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaro::e2e {

void ExamTest::SetUp()
{
    // Requests go to the harness's standard input, answers come back through a FIFO; a
    // harness that ended is an answer, not a signal.
    const std::string answers = ::testing::TempDir() + "harness-" + std::to_string(getpid());
    ASSERT_EQ(mkfifo(answers.c_str(), 0600), 0);
    std::signal(SIGPIPE, SIG_IGN);
    const std::string command = "PYTHONPATH='" E2E_DIR "' PYTHONDONTWRITEBYTECODE=1 " E2E_PYTHON " -m harness "
        + desktop() + " " + std::to_string(screens()) + " '" TESSARO_LOCAL_BINARY "' '" EXAM_SERVICE_BINARY "' >"
        + answers;
    m_requests = popen(command.c_str(), "w");
    m_answers = std::fopen(answers.c_str(), "r");
    std::filesystem::remove(answers);
    // The first answer, to no request, says whether the desktop started.
    m_folder = call("");
}

void ExamTest::TearDown()
{
    if (!m_requests)
        return;
    if (HasFailure() && m_pid > 0) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("failed-") + test->test_suite_name() + "." + test->name();
        std::replace(name.begin(), name.end(), '/', '-');
        keepScreenshot(name);
        for (const auto& line : lines("", true))
            std::fprintf(stderr, "tessaro: %s\n", line.c_str());
    }
    pclose(m_requests);
    std::fclose(m_answers);
}

json ExamTest::call(const std::string& action, json request)
{
    if (!action.empty()) {
        request["do"] = action;
        std::fputs((request.dump() + "\n").c_str(), m_requests);
        std::fflush(m_requests);
    }
    char* line = nullptr;
    std::size_t size = 0;
    const auto answer = json::parse(getline(&line, &size, m_answers) > 0 ? line : "", nullptr, false);
    std::free(line);
    if (!answer.is_object())
        throw std::runtime_error("the harness ended (its errors are above)");
    if (answer.contains("error"))
        throw std::runtime_error("harness: " + answer.at("error").get<std::string>() + " in " + request.dump());
    return answer.at("ok");
}

void ExamTest::startTessaro(const std::vector<std::string>& arguments, const json& environment, bool bus)
{
    const auto launch = call("launch", { { "arguments", arguments }, { "environment", environment }, { "bus", bus } });
    m_pid = launch.at("pid");
    m_home = launch.at("home");
}

void ExamTest::startScenario(const std::string& scenario, const json& environment)
{
    call("service", { { "options", { "--launch-page", E2E_DIR "/pages/scenarios.html" } } });
    startTessaro({ "tessaro://launch/" + scenario }, environment);
    ASSERT_TRUE(waitForReport({ { "kind", "loaded" } }));
}

std::optional<json> ExamTest::waitForReport(const json& match, Seconds timeout)
{
    const auto found = reports(match, 1, timeout);
    return found.empty() ? std::nullopt : std::optional(found.front());
}

void ExamTest::keepScreenshot(const std::string& name)
{
    std::filesystem::create_directories(E2E_ARTIFACTS_DIR);
    call("screenshot", { { "path", std::string(E2E_ARTIFACTS_DIR) + "/" + name + ".png" } });
}

}
