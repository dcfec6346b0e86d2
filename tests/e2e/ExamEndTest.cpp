#include <csignal>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

// How the exam ends when the desktop ends it, on X11 only: signals are the kernel's on
// every desktop, and the quit shortcut's tests empty the selections on each.
using ExamEndTest = ExamTest;

class SignalTest : public ExamEndTest, public ::testing::WithParamInterface<std::pair<std::string, int>> { };

TEST_P(SignalTest, EndsTheExamAsTheQuitDoesAndLeavesNoTemporaryFile)
{
    const auto& [name, number] = GetParam();
    startScenario("ending");
    call("window");
    ASSERT_FALSE(call("requests", { { "path", "/files/slow.txt" }, { "count", 1 }, { "timeout", 15 } }).empty());
    ASSERT_EQ(run({ "sh", "-c", "ls \"$TMPDIR\" | cut -c1-17" }), "tessaro-download-\n") << "the download is under way";
    call("set-selection", { { "name", "clipboard" }, { "text", "copied during the exam" } });
    call("set-selection", { { "name", "primary" }, { "text", "selected during the exam" } });
    // The save has begun: its message is named before its text is read and written.
    ASSERT_TRUE(waitForOutput("saveFile"));

    run({ "kill", "-" + name, std::to_string(m_pid) });
    EXPECT_EQ(waitForExit(20s), 128 + number) << "it ends by the signal, after the quit";
    EXPECT_EQ(lines("Quitting on SIG" + name).size(), 1u);
    EXPECT_EQ(selection("clipboard"), std::nullopt);
    EXPECT_EQ(selection("primary"), std::nullopt);
    // A save runs to its end on the main thread before the signal is taken there.
    EXPECT_EQ(run({ "sh", "-c", "cd \"$HOME/Downloads\" && ls -A && wc -c <answers.txt" }), "answers.txt\n42000000\n");
    EXPECT_EQ(run({ "sh", "-c", "ls -A \"$TMPDIR\"" }), "") << "the unfinished download's file is gone";
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest,
                         ::testing::Values(std::pair("TERM", SIGTERM), std::pair("INT", SIGINT),
                                           std::pair("HUP", SIGHUP)),
                         [](const auto& info) { return info.param.first; });

TEST_F(ExamEndTest, WithoutASessionBusNothingStartedForTheExamOutlivesIt)
{
    call("service");
    startTessaro({ "tessaro://launch/NO-BUS" });
    call("window");
    ASSERT_TRUE(waitForOutput("Was able to lock? true"));
    call("key", { { "keys", "ctrl+q ctrl+q ctrl+q ctrl+q" } });
    EXPECT_EQ(waitForExit(10s), 0);
    EXPECT_EQ(call("strays", { { "until", json::array() }, { "timeout", 10 } }), json::array());
}

}
}
