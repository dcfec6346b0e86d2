#include <algorithm>
#include <thread>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

bool isKind(const json& report, const std::string& kind)
{
    return report.value("kind", "") == kind;
}

class WindowTest : public ExamTest {
protected:
    // The exam on the scenario page, its window found, the page loaded and the student's
    // first key pressed (on Wayland the selections can be emptied from then on).
    std::string startExam(const std::string& scenario = "probe")
    {
        startServiceWithScenarios();
        startTessaro({ "tessaro://launch/" + scenario });
        const auto window = waitForExamWindow();
        EXPECT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "loaded"); }, 20s));
        m_desktop->key(window, "shift");
        return window;
    }

    // The selection once nothing is offered there any more, or what it still holds.
    std::optional<std::string> selectionOnceEmptied(const std::string& name)
    {
        auto text = m_desktop->selection(name);
        for (int attempt = 0; attempt < 50 && text; ++attempt) {
            std::this_thread::sleep_for(100ms);
            text = m_desktop->selection(name);
        }
        return text;
    }
};

using WindowOnEachDesktop = OnEachDesktop<WindowTest>;
INSTANTIATE_TEST_SUITE_P(On, WindowOnEachDesktop, everyDesktop(), desktopTestName);

TEST_P(WindowOnEachDesktop, StartingEmptiesTheSelectionsAndShowsTheExamFullScreen)
{
    // Mutter offers other programs the clipboard only: its primary selection is not read here.
    const bool primary = m_desktop->offersPrimarySelection();
    m_desktop->setSelection("clipboard", "copied before the exam");
    if (primary)
        m_desktop->setSelection("primary", "selected before the exam");
    ASSERT_EQ(m_desktop->selection("clipboard"), "copied before the exam");

    const auto window = startExam();
    EXPECT_EQ(selectionOnceEmptied("clipboard"), std::nullopt);
    if (primary)
        EXPECT_EQ(selectionOnceEmptied("primary"), std::nullopt);
    EXPECT_TRUE(waitForOutput("Was able to lock? true"));
    EXPECT_NE(m_desktop->isFullScreen(window), false);
    if (m_x) {
        EXPECT_EQ(m_x->windowSize(window), std::make_pair(1280, 800));
        EXPECT_EQ(m_x->windowName(window), "Scenario page \u2014 Tessaro");
    }
}

TEST_P(WindowOnEachDesktop, TheQuitShortcutEndsTheExamOnlyOnTheFourthQuickPress)
{
    // The emptying that follows the first key arrives a moment later on mutter: it is
    // awaited, so it cannot take what the student copies during the exam.
    m_desktop->setSelection("clipboard", "copied before the exam");
    const auto window = startExam();
    ASSERT_EQ(selectionOnceEmptied("clipboard"), std::nullopt);
    m_desktop->setSelection("clipboard", "copied during the exam");

    m_desktop->key(window, "ctrl+q ctrl+q ctrl+q");
    EXPECT_FALSE(m_tessaro->waitForExit(2s)) << "three presses are harmless";
    EXPECT_EQ(m_desktop->selection("clipboard"), "copied during the exam");

    m_desktop->key(window, "ctrl+q ctrl+q ctrl+q ctrl+q");
    EXPECT_EQ(m_tessaro->waitForExit(10s), 0);
    EXPECT_EQ(m_desktop->selection("clipboard"), std::nullopt);
}

TEST_P(WindowOnEachDesktop, TheDesktopsCloseRequestCountsAsOnePress)
{
    const auto window = startExam();
    m_desktop->requestClose(window, 1);
    EXPECT_FALSE(m_tessaro->waitForExit(2s)) << "one close request does not close the exam";

    m_desktop->requestClose(window, 4);
    EXPECT_EQ(m_tessaro->waitForExit(10s), 0);
}

TEST_P(WindowOnEachDesktop, TheSecondaryPressNeverReachesThePage)
{
    const auto window = startExam();
    m_desktop->click(window, 600, 400, 3);
    m_desktop->click(window, 640, 420, 1);
    ASSERT_TRUE(m_service->waitForReport(
        [](const json& r) { return isKind(r, "input") && r.value("type", "") == "click"; }, 10s));

    std::vector<std::string> seen;
    for (const auto& report : m_service->reports()) {
        if (isKind(report, "input"))
            seen.push_back(report.value("type", "") + " " + std::to_string(report.value("button", -1)));
    }
    // Each report is a request of its own: they may arrive in any order.
    std::sort(seen.begin(), seen.end());
    const std::vector<std::string> primaryOnly { "click 0", "mousedown 0", "mouseup 0", "pointerdown 0" };
    EXPECT_EQ(seen, primaryOnly);
}

TEST_F(WindowTest, ThePageSeesExactlyTheSixHandlers)
{
    startExam();
    const auto loaded = m_service->waitForReport([](const json& r) { return isKind(r, "loaded"); }, 1s);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->at("handlers"), json::array({ "saveFile", "security", "log", "quit", "download", "processes" }));
}

}
}
