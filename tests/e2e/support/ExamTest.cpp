#include "tests/e2e/support/ExamTest.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessaro::e2e {

void ExamTest::SetUp()
{
    int requests[2];
    int answers[2];
    ASSERT_EQ(pipe2(requests, O_CLOEXEC) | pipe2(answers, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, requests[0], 0);
    posix_spawn_file_actions_adddup2(&actions, answers[1], 1);
    std::string desktop = this->desktop();
    std::transform(desktop.begin(), desktop.end(), desktop.begin(), ::tolower);
    setenv("PYTHONPATH", E2E_DIR, 1);
    setenv("PYTHONDONTWRITEBYTECODE", "1", 1);
    std::string argv[] = {
        E2E_PYTHON, "-m", "harness", desktop, std::to_string(screens()), TESSARO_LOCAL_BINARY, EXAM_SERVICE_BINARY
    };
    std::vector<char*> pointers;
    for (auto& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    ASSERT_EQ(posix_spawn(&m_harness, E2E_PYTHON, &actions, nullptr, pointers.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(requests[0]);
    close(answers[1]);
    m_requests = fdopen(requests[1], "w");
    m_answers = fdopen(answers[0], "r");
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
    std::fclose(m_requests);
    std::fclose(m_answers);
    waitpid(m_harness, nullptr, 0);
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
