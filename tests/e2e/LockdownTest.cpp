#include <filesystem>

#include "tests/e2e/support/ExamTest.h"
#include "tests/e2e/support/Reports.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

class LockdownTest : public ExamTest {
protected:
    // A process whose executable is named like a screen-capture tool.
    std::unique_ptr<Subprocess> runProcessNamed(const std::string& name)
    {
        const std::string program = folder() + "/" + name;
        std::filesystem::copy_file("/bin/sleep", program);
        return std::make_unique<Subprocess>(std::vector<std::string> { program, "600" }, inheritedEnvironment({}),
                                            "/dev/null");
    }

    // The alert is the program's only window: the exam window is not shown yet.
    void quitTheAlert(const std::string& screenshotName)
    {
        const auto alert = m_x->waitForWindow(m_tessaro->pid(), 20s);
        ASSERT_TRUE(alert);
        EXPECT_EQ(m_x->windowName(*alert), "Tessaro");
        std::this_thread::sleep_for(1500ms);
        keepScreenshot(screenshotName);
        EXPECT_FALSE(m_tessaro->waitForExit(2s)) << "the alert waits for its button";
        m_x->key(*alert, "Return");
        EXPECT_EQ(m_tessaro->waitForExit(10s), 0);
    }
};

TEST_F(LockdownTest, ARunningCaptureToolRefusesTheLaunch)
{
    const auto tool = runProcessNamed("flameshot");
    startService();
    m_x->setSelection("clipboard", "copied before the exam");
    startTessaro({ "tessaro://launch/K" });
    quitTheAlert("blocked-application-alert");
    EXPECT_TRUE(m_service->requests().empty()) << "no page was requested";
    EXPECT_EQ(m_x->selection("clipboard"), "copied before the exam") << "refused before the clipboard step";
}

TEST_F(LockdownTest, TheRunningApplicationReportListsTheProgramItself)
{
    startServiceWithScenarios();
    startTessaro({ "tessaro://launch/processes" });
    const auto report = m_service->waitForMessage("processes", 20s);
    ASSERT_TRUE(report);
    const auto applications = json::parse(report->at("payload").get<std::string>());
    ASSERT_TRUE(applications.is_array());
    EXPECT_NE(std::find(applications.begin(), applications.end(), json::array({ "tessaro-local", "tessaro-local" })),
              applications.end());
    for (const auto& application : applications)
        EXPECT_TRUE(application.size() == 2 || application.empty()) << application.dump();
}

TEST_F(LockdownTest, TheBatteryLevelReachesThePageThirtySecondsAfterTheWindowShows)
{
    startServiceWithScenarios();
    startTessaro({ "tessaro://launch/probe" });
    waitForExamWindow();
    const auto shown = std::chrono::steady_clock::now();
    const auto battery = m_service->waitForMessage("battery", 45s);
    ASSERT_TRUE(battery);
    EXPECT_GE(std::chrono::steady_clock::now() - shown, 25s) << "no report before the first interval";
    const std::string level = battery->at("payload");
    EXPECT_NE(level.find('.'), std::string::npos) << level;
    EXPECT_NO_THROW((void)std::stof(level));
}

class TwoMonitorTest : public LockdownTest {
protected:
    XSession::Monitors monitors() const override { return XSession::Monitors::two; }
};

TEST_F(TwoMonitorTest, ASecondMonitorRefusesTheLaunchAfterEmptyingTheClipboard)
{
    startService();
    ASSERT_EQ(m_x->run({ "xrandr", "--listmonitors" }).output.find("Monitors: 2") != std::string::npos, true)
        << m_x->run({ "xrandr", "--listmonitors" }).output;
    m_x->setSelection("clipboard", "copied before the exam");
    startTessaro({ "tessaro://launch/K" });
    quitTheAlert("external-monitors-alert");
    EXPECT_EQ(m_x->selection("clipboard"), std::nullopt);
    EXPECT_TRUE(m_service->requests().empty()) << "no page was requested";
}

}
}
