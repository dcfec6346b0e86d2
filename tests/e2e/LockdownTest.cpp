#include <csignal>
#include <filesystem>
#include <thread>
#include <unistd.h>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

class LockdownTest : public ExamTest {
protected:
    // The alert is the program's only window: the exam window is not shown yet.
    void quitTheAlert(const std::string& screenshotName)
    {
        const auto alert = call("dialog", { { "title", "Tessaro" } });
        ASSERT_FALSE(alert.is_null());
        std::this_thread::sleep_for(1500ms);
        keepScreenshot(screenshotName);
        EXPECT_FALSE(waitForExit(2s)) << "the alert waits for its button";
        call("key", { { "window", alert }, { "keys", "Return" } });
        EXPECT_EQ(waitForExit(10s), 0);
    }

    // A process whose executable is named like a screen-capture tool, run by the student
    // or, through setpriv, by another user.
    void runProcessNamed(const std::string& name, json argv = json::array())
    {
        std::filesystem::permissions(m_folder,
                                     std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
                                     std::filesystem::perm_options::add);
        std::filesystem::copy_file("/bin/sleep", m_folder + "/" + name);
        argv.insert(argv.end(), { m_folder + "/" + name, "600" });
        call("spawn", { { "argv", argv } });
    }
};

// What shares the screen: a capture tool of the student's, a remote-desktop service that
// another user (here: nobody) runs, a portal's screen cast in the session's PipeWire.
class ScreenSharingTest : public LockdownTest, public ::testing::WithParamInterface<std::string> { };

TEST_P(ScreenSharingTest, RefusesTheLaunch)
{
    json environment = json::object();
    if (GetParam() == "OwnCaptureTool")
        runProcessNamed("flameshot");
    if (GetParam() == "AnotherUsersService" && geteuid() != 0)
        GTEST_SKIP() << "running a process as another user needs root";
    if (GetParam() == "AnotherUsersService")
        runProcessNamed("teamviewerd", { "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups" });
    if (GetParam() == "ScreenCast") {
        const json screenCast { { "media.class", "Video/Source" },
                                { "node.name", "xdpw_stream" },
                                { "application.name", "xdg-desktop-portal-wlr" } };
        environment["PIPEWIRE_REMOTE"] = call("screen-cast", { { "properties", screenCast } });
    }
    call("service");
    call("set-selection", { { "name", "clipboard" }, { "text", "copied before the exam" } });
    startTessaro({ "tessaro://launch/K" }, environment);
    quitTheAlert("screen-sharing-alert-" + GetParam());
    EXPECT_TRUE(call("requests").empty()) << "no page was requested";
    EXPECT_EQ(selection("clipboard"), "copied before the exam") << "refused before the clipboard step";
}

INSTANTIATE_TEST_SUITE_P(Sharing, ScreenSharingTest,
                         ::testing::Values("OwnCaptureTool", "AnotherUsersService", "ScreenCast"),
                         [](const auto& info) { return info.param; });

TEST_F(LockdownTest, ASignalWhileTheAlertIsUpEndsTheProgramByIt)
{
    runProcessNamed("flameshot");
    call("service");
    startTessaro({ "tessaro://launch/K" });
    ASSERT_FALSE(call("dialog", { { "title", "Tessaro" } }).is_null());
    run({ "kill", "-TERM", std::to_string(m_pid) });
    EXPECT_EQ(waitForExit(10s), 128 + SIGTERM) << "the alert ends, and the refusal ends by the signal";
    EXPECT_EQ(lines("Quitting on SIGTERM").size(), 1u);
}

class TwoMonitorTest : public OnEachDesktop<LockdownTest> {
protected:
    int screens() const override { return 2; }
};
INSTANTIATE_TEST_SUITE_P(On, TwoMonitorTest, everyDesktop(), desktopTestName);
INSTANTIATE_TEST_SUITE_P(Session, TwoMonitorTest, ::testing::Values("Cage"), desktopTestName);

TEST_P(TwoMonitorTest, ASecondMonitorRefusesTheLaunch)
{
    call("service");
    if (onX11()) {
        const std::string monitors = call("run", { { "argv", { "xrandr", "--listmonitors" } } })["output"];
        ASSERT_NE(monitors.find("Monitors: 2"), std::string::npos) << monitors;
    }
    call("set-selection", { { "name", "clipboard" }, { "text", "copied before the exam" } });
    startTessaro({ "tessaro://launch/K" });
    quitTheAlert("external-monitors-alert");
    EXPECT_TRUE(call("requests").empty()) << "no page was requested";
    // Without data control (mutter, cage) only a focused window empties the selections: none shows here.
    EXPECT_EQ(desktop() == "Mutter" || desktop() == "Cage" ? std::nullopt : selection("clipboard"), std::nullopt);
}

}
}
