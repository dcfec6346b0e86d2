#include <algorithm>
#include <thread>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

class WindowTest : public ExamTest {
protected:
    inline static const std::string leftFullScreen
        = "The exam window left full screen; asked for it again. Was able to lock? ";
    // The exam on the scenario page, its window found, the page loaded and the student's
    // first key pressed (on mutter the selections can be emptied from then on).
    void startExam()
    {
        startScenario("probe");
        call("window");
        call("key", { { "keys", "shift" } });
    }
    // Full screen within 3 s as the compositor says, where it names the state (not mutter).
    bool fullScreenSoon() { return call("fullscreen", { { "until", true }, { "timeout", 3 } }) != false; }
    void copy(const std::string& text, const std::string& selection = "clipboard")
    {
        call("set-selection", { { "name", selection }, { "text", text } });
    }
};

using WindowOnEachDesktop = OnEachDesktop<WindowTest>;
INSTANTIATE_TEST_SUITE_P(On, WindowOnEachDesktop, everyDesktop(), desktopTestName);

TEST_P(WindowOnEachDesktop, StartingEmptiesTheSelectionsAndShowsTheExamFullScreenWhichComesBackWhenTakenAway)
{
    // No key is pressed. Mutter and KWin offer other programs the clipboard only: their
    // primary selection is not read here.
    const bool primary = call("primary");
    copy("copied before the exam");
    if (primary)
        copy("selected before the exam", "primary");
    ASSERT_EQ(selection("clipboard"), "copied before the exam");

    startScenario("probe");
    call("window");
    ASSERT_TRUE(waitForOutput("Was able to lock? true"));
    EXPECT_TRUE(fullScreenSoon());
    EXPECT_EQ(waitForReport({ { "kind", "loaded" } })->at("handlers"),
              json::array({ "saveFile", "security", "log", "quit", "download", "processes" }))
        << "the page sees exactly the six handlers";
    if (onX11() || desktop() == "KWin") {
        EXPECT_EQ(call("size"), json::array({ 1280, 800 }));
        EXPECT_EQ(call("title"), "Scenario page \u2014 Tessaro");
    }
    // Mutter offers no data control: there the selections empty at the first key (the
    // quit test's check).
    if (desktop() != "Mutter") {
        EXPECT_EQ(selection("clipboard"), std::nullopt);
        EXPECT_EQ(primary ? selection("primary") : std::nullopt, std::nullopt);
    }

    call("leave-fullscreen");
    EXPECT_EQ(lines(leftFullScreen, true, 3s), std::vector<std::string> { leftFullScreen + "true" });
    EXPECT_TRUE(fullScreenSoon());
}

TEST_P(WindowOnEachDesktop, AWindowMinimisedAndShownAgainIsFullScreenAndTakesInput)
{
    if (desktop() == "Sway")
        GTEST_SKIP() << "sway has no minimised windows";
    startExam();
    ASSERT_TRUE(waitForOutput("Was able to lock? true"));
    call("minimize");
    EXPECT_TRUE(fullScreenSoon());
    EXPECT_EQ(lines(leftFullScreen + "false"), std::vector<std::string> {});
    call("click", { { "x", 640 }, { "y", 400 }, { "button", 1 } });
    EXPECT_TRUE(waitForReport({ { "kind", "input" }, { "type", "click" } }, 3s)) << "the window is shown again";
}

TEST_P(WindowOnEachDesktop, TheQuitShortcutEndsTheExamOnlyOnTheFourthQuickPress)
{
    // The emptying that follows the first key arrives a moment later on mutter: it is
    // awaited, so it cannot take what the student copies during the exam.
    copy("copied before the exam");
    startExam();
    ASSERT_EQ(selection("clipboard", true), std::nullopt);
    copy("copied during the exam");

    call("key", { { "keys", "ctrl+q ctrl+q ctrl+q" } });
    EXPECT_FALSE(waitForExit(2s)) << "three presses are harmless";
    EXPECT_EQ(selection("clipboard"), "copied during the exam");

    call("key", { { "keys", "ctrl+q ctrl+q ctrl+q ctrl+q" } });
    EXPECT_EQ(waitForExit(10s), 0);
    EXPECT_EQ(selection("clipboard"), std::nullopt);
}

TEST_P(WindowOnEachDesktop, TheDesktopsCloseRequestCountsAsOnePress)
{
    startExam();
    call("close", { { "times", 1 } });
    EXPECT_FALSE(waitForExit(2s)) << "one close request does not close the exam";
    call("close", { { "times", 4 } });
    EXPECT_EQ(waitForExit(10s), 0);
}

TEST_P(WindowOnEachDesktop, TheSecondaryPressNeverReachesThePage)
{
    startExam();
    call("click", { { "x", 600 }, { "y", 400 }, { "button", 3 } });
    call("click", { { "x", 640 }, { "y", 420 }, { "button", 1 } });
    ASSERT_TRUE(waitForReport({ { "kind", "input" }, { "type", "click" } }, 10s));
    std::vector<std::string> seen;
    for (const auto& report : reports({ { "kind", "input" } }))
        seen.push_back(report.value("type", "") + " " + std::to_string(report.value("button", -1)));
    // Each report is a request of its own: they may arrive in any order.
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string> { "click 0", "mousedown 0", "mouseup 0", "pointerdown 0" }));
}

// The login screen's exam session on cage (harness/cage.py), tessaro-local run as the
// entry's command runs tessaro; the launch's process is cage, whose end is the session's.
// How the exam ends: four quit presses, or a crash.
class ExamSessionTest : public ExamTest, public ::testing::WithParamInterface<std::string> {
protected:
    std::string desktop() const override { return "Cage"; }
};

TEST_P(ExamSessionTest, ShowsTheExamFullScreenAndEndsWithIt)
{
    call("service");
    startTessaro();
    call("window");
    ASSERT_TRUE(waitForOutput("Was able to lock? true"));
    GetParam() == "FourQuitPresses"
        ? call("key", { { "keys", "ctrl+q ctrl+q ctrl+q ctrl+q" } })
        : call("run", { { "argv", { "pkill", "-SEGV", "-x", "-P", std::to_string(m_pid), "tessaro-local" } } });
    EXPECT_TRUE(waitForExit(10s)) << "no compositor is left with nothing in it";
}

INSTANTIATE_TEST_SUITE_P(EndedBy, ExamSessionTest, ::testing::Values("FourQuitPresses", "Crash"),
                         [](const auto& info) { return info.param; });

// The page's getUserMedia(), put to the student, who answers with the key; what the page gets.
class CameraPromptTest : public ExamTest, public ::testing::WithParamInterface<std::pair<std::string, json>> { };

TEST_P(CameraPromptTest, ThePageGetsTheStudentsAnswer)
{
    // WebKit's stand-in camera and microphone: this machine has neither.
    startScenario("camera", { { "TESSARO_MOCK_CAPTURE_DEVICES", "1" } });
    const auto prompt = call("dialog", { { "title", "Camera and microphone" } });
    ASSERT_FALSE(prompt.is_null()) << "the page's request is put to the student";
    std::this_thread::sleep_for(1500ms);
    keepScreenshot("camera-prompt");
    call("key", { { "window", prompt }, { "keys", GetParam().first } });
    auto result = waitForReport({ { "kind", "media" } }, 15s);
    ASSERT_TRUE(result);
    result->erase("kind");
    EXPECT_EQ(*result, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(WebViewDefaults, CameraPromptTest,
                         ::testing::Values(std::pair("alt+a", json { { "result", "stream" }, { "liveTracks", 2 } }),
                                           std::pair("alt+n", json { { "result", "NotAllowedError" } })),
                         [](const auto& info) { return info.param.first == "alt+a" ? "Allowed" : "Refused"; });

}
}
