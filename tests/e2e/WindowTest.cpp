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
    // The exam on the scenario page, its window found and the page loaded.
    std::string startExam(const std::string& scenario = "probe")
    {
        startServiceWithScenarios();
        startTessaro({ "tessaro://launch/" + scenario });
        const auto window = waitForExamWindow();
        EXPECT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "loaded"); }, 20s));
        return window;
    }
};

TEST_F(WindowTest, StartingEmptiesBothSelectionsAndShowsTheExamFullScreen)
{
    m_x->setSelection("clipboard", "copied before the exam");
    m_x->setSelection("primary", "selected before the exam");
    ASSERT_EQ(m_x->selection("clipboard"), "copied before the exam");

    const auto window = startExam();
    EXPECT_EQ(m_x->selection("clipboard"), std::nullopt);
    EXPECT_EQ(m_x->selection("primary"), std::nullopt);
    EXPECT_TRUE(waitForOutput("Was able to lock? true"));
    EXPECT_EQ(m_x->windowSize(window), std::make_pair(1280, 800));
    EXPECT_EQ(m_x->windowName(window), "Scenario page \u2014 Tessaro");
}

TEST_F(WindowTest, TheQuitShortcutEndsTheExamOnlyOnTheFourthQuickPress)
{
    const auto window = startExam();
    m_x->setSelection("clipboard", "copied during the exam");

    m_x->key(window, "ctrl+q ctrl+q ctrl+q");
    EXPECT_FALSE(m_tessaro->waitForExit(2s)) << "three presses are harmless";
    EXPECT_EQ(m_x->selection("clipboard"), "copied during the exam");

    m_x->key(window, "ctrl+q ctrl+q ctrl+q ctrl+q");
    EXPECT_EQ(m_tessaro->waitForExit(10s), 0);
    EXPECT_EQ(m_x->selection("clipboard"), std::nullopt);
}

TEST_F(WindowTest, TheWindowManagersCloseRequestCountsAsOnePress)
{
    const auto window = startExam();
    m_x->run({ "wmctrl", "-i", "-c", window });
    EXPECT_FALSE(m_tessaro->waitForExit(2s)) << "one close request does not close the exam";
    EXPECT_TRUE(m_x->waitForWindow(m_tessaro->pid(), 1s));

    m_x->run({ "sh", "-c", "for i in 1 2 3 4; do wmctrl -i -c \"$1\"; done", "sh", window });
    EXPECT_EQ(m_tessaro->waitForExit(10s), 0);
}

TEST_F(WindowTest, TheSecondaryPressNeverReachesThePage)
{
    const auto window = startExam();
    m_x->click(window, 600, 400, 3);
    m_x->click(window, 640, 420, 1);
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
