#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tessaro::e2e {

using nlohmann::json;
using Seconds = std::chrono::duration<double>;
using namespace std::chrono_literals;

// One exam on a desktop of its own ("X11", an X server with openbox, unless the test asks
// for "Sway", "Mutter" or "KWin"), the local exam service and tessaro-local in a fresh
// home with a Downloads folder, all held by the harness in tests/e2e/harness: one python3
// process for the test's life that carries out one request a line (its __main__.py lists
// them) and ends every process it started when the test ends.
class ExamTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual std::string desktop() const { return "X11"; }
    virtual int screens() const { return 1; }
    bool onX11() const { return desktop() == "X11"; }

    // The harness's answer to the action; a failure is thrown.
    json call(const std::string& action, json request = json::object());
    template <typename T> std::optional<T> optional(const std::string& action, const json& request)
    {
        const auto answer = call(action, request);
        return answer.is_null() ? std::nullopt : std::optional<T>(answer.get<T>());
    }
    void startTessaro(const std::vector<std::string>& arguments = {}, const json& environment = json::object(),
                      bool bus = false);
    // The scenario page, tessaro-local launched with the scenario as its exam key, the page loaded.
    void startScenario(const std::string& scenario, const json& environment = json::object());

    // The page's reports with every member of the match, once there are that many or the time is up.
    std::vector<json> reports(const json& match, int count = 1, Seconds timeout = Seconds(20))
    {
        return call("reports", { { "match", match }, { "count", count }, { "timeout", timeout.count() } });
    }
    std::optional<json> waitForReport(const json& match, Seconds timeout = Seconds(20));
    std::optional<json> waitForMessage(const std::string& name, Seconds timeout = Seconds(20))
    {
        return waitForReport({ { "kind", "message" }, { "name", name } }, timeout);
    }
    // The program's lines that equal (or, with prefix, start with) the text.
    std::vector<std::string> lines(const std::string& text, bool prefix = false, Seconds timeout = Seconds(0))
    {
        return call("lines", { { prefix ? "prefix" : "exact", text }, { "timeout", timeout.count() } });
    }
    bool waitForOutput(const std::string& line, Seconds timeout = Seconds(20))
    {
        return !lines(line, false, timeout).empty();
    }
    // The exit status, or nothing while the program runs.
    std::optional<int> waitForExit(Seconds timeout)
    {
        return optional<int>("exit", { { "timeout", timeout.count() } });
    }
    // The selection's text, or nothing when no one offers text there (waiting up to 5 s for that).
    std::optional<std::string> selection(const std::string& name, bool waitUntilEmpty = false)
    {
        return optional<std::string>("selection",
                                     { { "name", name }, { "until", nullptr }, { "timeout", waitUntilEmpty ? 5 : 0 } });
    }
    // The standard output of a command run with the program's environment (its home, its desktop).
    std::string run(const std::vector<std::string>& argv) { return call("run", { { "argv", argv } })["output"]; }
    // A screenshot kept after the test, for a person to look at.
    void keepScreenshot(const std::string& name);

    std::string downloads() const { return m_home + "/Downloads"; }
    static std::string origin() { return "http://127.0.0.1:" + std::to_string(TESSARO_LOCAL_PORT); }

    std::string m_folder;
    std::string m_home;
    int m_pid = -1;

private:
    FILE* m_requests = nullptr;
    FILE* m_answers = nullptr;
};

// The same test on each desktop: TEST_P with a fixture OnEachDesktop<Fixture>, and
// INSTANTIATE_TEST_SUITE_P(On, ..., everyDesktop(), desktopTestName).
template <typename Fixture> class OnEachDesktop : public Fixture, public ::testing::WithParamInterface<std::string> {
protected:
    std::string desktop() const override { return this->GetParam(); }
};

inline auto everyDesktop()
{
    return ::testing::Values("X11", "Sway", "Mutter", "KWin");
}

inline std::string desktopTestName(const ::testing::TestParamInfo<std::string>& info)
{
    return info.param;
}

}
