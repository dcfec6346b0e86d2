#include <filesystem>

#include <unistd.h>

#include "tests/e2e/support/ExamTest.h"
#include "tests/e2e/support/PipeWireDaemon.h"
#include "tests/e2e/support/Reports.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

class LockdownTest : public ExamTest {
protected:
    // A process whose executable is named like a screen-capture tool, run by the student
    // or, through setpriv, by another user.
    std::unique_ptr<Subprocess> runProcessNamed(const std::string& name, std::vector<std::string> asUser = {})
    {
        std::filesystem::permissions(m_tools.path(),
                                     std::filesystem::perms::owner_all | std::filesystem::perms::others_read
                                         | std::filesystem::perms::others_exec);
        const std::string program = m_tools.path() + "/" + name;
        std::filesystem::copy_file("/bin/sleep", program);
        asUser.insert(asUser.end(), { program, "600" });
        return std::make_unique<Subprocess>(asUser, inheritedEnvironment({}), "/dev/null");
    }

    // The alert is the program's only window: the exam window is not shown yet.
    void quitTheAlert(const std::string& screenshotName)
    {
        const auto alert = m_desktop->waitForDialog("Tessaro", 20s);
        ASSERT_TRUE(alert);
        std::this_thread::sleep_for(1500ms);
        keepScreenshot(screenshotName);
        EXPECT_FALSE(m_tessaro->waitForExit(2s)) << "the alert waits for its button";
        m_desktop->key(*alert, "Return");
        EXPECT_EQ(m_tessaro->waitForExit(10s), 0);
    }

    TemporaryFolder m_tools;
};

// What shares the screen: a capture tool of the student's, a remote-desktop service that
// another user (here: nobody) runs, a portal's screen cast in the session's PipeWire.
enum class Sharing { ownCaptureTool, anotherUsersService, screenCast };

std::string sharingName(Sharing sharing)
{
    switch (sharing) {
    case Sharing::ownCaptureTool:
        return "OwnCaptureTool";
    case Sharing::anotherUsersService:
        return "AnotherUsersService";
    case Sharing::screenCast:
        return "ScreenCast";
    }
    return "";
}

class ScreenSharingTest : public LockdownTest, public ::testing::WithParamInterface<Sharing> { };

TEST_P(ScreenSharingTest, RefusesTheLaunch)
{
    std::unique_ptr<Subprocess> tool;
    std::unique_ptr<PipeWireDaemon> pipeWire;
    Environment environment;
    switch (GetParam()) {
    case Sharing::ownCaptureTool:
        tool = runProcessNamed("flameshot");
        break;
    case Sharing::anotherUsersService:
        if (geteuid() != 0)
            GTEST_SKIP() << "running a process as another user needs root";
        tool = runProcessNamed("teamviewerd", { "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups" });
        break;
    case Sharing::screenCast:
        pipeWire = std::make_unique<PipeWireDaemon>(folder());
        pipeWire->createNode("videotestsrc", PipeWireDaemon::screenCast("xdg-desktop-portal-wlr"));
        environment = { { "PIPEWIRE_REMOTE", pipeWire->socket() } };
        break;
    }
    startService();
    m_x->setSelection("clipboard", "copied before the exam");
    startTessaro({ "tessaro://launch/K" }, environment);
    quitTheAlert("screen-sharing-alert-" + sharingName(GetParam()));
    EXPECT_TRUE(m_service->requests().empty()) << "no page was requested";
    EXPECT_EQ(m_x->selection("clipboard"), "copied before the exam") << "refused before the clipboard step";
}

INSTANTIATE_TEST_SUITE_P(Sharing, ScreenSharingTest,
                         ::testing::Values(Sharing::ownCaptureTool, Sharing::anotherUsersService, Sharing::screenCast),
                         [](const auto& info) { return sharingName(info.param); });

TEST_F(LockdownTest, ACameraIsNotAScreenCast)
{
    PipeWireDaemon pipeWire(folder());
    pipeWire.createNode("videotestsrc", PipeWireDaemon::camera());
    startService();
    startTessaro({ "tessaro://launch/K" }, { { "PIPEWIRE_REMOTE", pipeWire.socket() } });
    EXPECT_TRUE(m_service->waitForReport([](const json& r) { return r.value("kind", "") == "loaded"; }, 20s))
        << "the exam page loaded";
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

class TwoMonitorTest : public OnEachDesktop<LockdownTest> {
protected:
    Desktop::Screens screens() const override { return Desktop::Screens::two; }
};
INSTANTIATE_TEST_SUITE_P(On, TwoMonitorTest, everyDesktop(), desktopTestName);

TEST_P(TwoMonitorTest, ASecondMonitorRefusesTheLaunch)
{
    startService();
    if (m_x) {
        ASSERT_NE(m_x->run({ "xrandr", "--listmonitors" }).output.find("Monitors: 2"), std::string::npos)
            << m_x->run({ "xrandr", "--listmonitors" }).output;
    }
    m_desktop->setSelection("clipboard", "copied before the exam");
    startTessaro({ "tessaro://launch/K" });
    quitTheAlert("external-monitors-alert");
    EXPECT_TRUE(m_service->requests().empty()) << "no page was requested";
    // A Wayland compositor takes a selection change only from a client with the keyboard
    // focus, which the exam window never gets here.
    if (m_x)
        EXPECT_EQ(m_x->selection("clipboard"), std::nullopt);
}

}
}
