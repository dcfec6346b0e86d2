#include "window/LaunchGate.h"
#include "tests/support/ControllerFixture.h"
#include "window/ShownName.h"

namespace tessaro::testing {
namespace {

const std::string fixedText
    = "You need to close the following applications before launching Tessaro. Tessaro will now be quit.\n\n";

const auto app = &runningApplication;

TEST(LaunchGateSelection, NamesEveryBlockedInstanceInPlatformOrderThenEveryScreenCast)
{
    struct Case {
        std::vector<RunningApplication> running;
        std::vector<std::string> casts;
        std::string names;
    };
    const Case cases[] = {
        // Only the exact identifier of a named application counts.
        { { app("com.apple.screencaptureui", {}), app("", "nameless"), app("COM.APPLE.SCREENCAPTUREUI", "S"),
            app("com.apple.screencaptureui.helper", "a"), app("com.apple.screencapture", "c") },
          {},
          "" },
        { { app("com.google.chromeremotedesktop.me2me-host", "Remote Host"), app("x", "y"),
            app("com.apple.screencaptureui", "Screenshot"), app("obs", "obs"), app("obs", "obs"),
            app("com.obsproject.Studio", "OBS Studio"), app("x11vnc", "x11vnc") },
          {},
          "Remote Host\nScreenshot\nobs\nobs\nOBS Studio\nx11vnc" },
        { { app("xdg-desktop-portal-wlr", "xdg-desktop-por"), app("teamviewerd", "teamviewerd") },
          { "Firefox", "gnome-shell" },
          "teamviewerd\nA screen is being shared: Firefox\nA screen is being shared: gnome-shell" },
        { { app("obs", "obs\n<b>Fake</b>\x1b[2J") },
          { std::string("\xff\0", 2) + std::string(100, 'x') },
          "obs\\x0a<b>Fake</b>\\x1b[2J\nA screen is being shared: \\xff\\x00" + std::string(56, 'x') + "\u2026" },
    };
    for (const auto& [running, casts, names] : cases) {
        const auto alert = runningApplicationsAlert(running, casts);
        EXPECT_EQ(alert ? alert->informativeText : "none", names.empty() ? "none" : fixedText + names);
    }
}

TEST(LaunchGateSelection, NamesAreShownEscapedAndCut)
{
    const std::string e = "\u00e9";
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        { "a\nb\x7f", 64, "a\\x0ab\\x7f" },
        { "\xc2\x85|\xc2\x9f|\u2028|\u2029", 64, "\\xc2\\x85|\\xc2\\x9f|\\xe2\\x80\\xa8|\\xe2\\x80\\xa9" },
        { "\u00a0" + e + "\u0800\U00010000\uffff\U0010FFFF", 64, "\u00a0" + e + "\u0800\U00010000\uffff\U0010FFFF" },
        { "\xc0\xaf|\xe0\x80\xaf|\xed\xa0\x80|\xf4\x90\x80\x80|\xfc\x80\x80\x80", 128,
          "\\xc0\\xaf|\\xe0\\x80\\xaf|\\xed\\xa0\\x80|\\xf4\\x90\\x80\\x80|\\xfc\\x80\\x80\\x80" },
        { "\xe2\x82(|\xed\xbf\xbf|\xf0\x8f\xbf\xbf", 64, "\\xe2\\x82(|\\xed\\xbf\\xbf|\\xf0\\x8f\\xbf\\xbf" },
        { std::string(3, 'x') + e + e, 5, "xxx" + e + e },
        { std::string(3, 'x') + e + e + "y", 5, "xxx" + e + e + "\u2026" },
        { "ab\n", 4, "ab\u2026" },
    };
    for (const auto& [text, maxCharacters, expected] : cases)
        EXPECT_EQ(shownName(text, maxCharacters), expected) << text;
}

TEST(LaunchGate, ARefusedLaunchShowsItsAlertThenExitsWithStatusZero)
{
    const std::string runningApplications = "Running applications need to be quit";
    struct Case {
        std::vector<RunningApplication> own, otherUsers;
        std::vector<std::string> casts;
        int screens;
        std::string alert;
    };
    const Case cases[] = {
        { { app("org.flameshot.Flameshot", "Flameshot") }, {}, {}, 1, runningApplications },
        { {}, { app("teamviewerd", "teamviewerd") }, {}, 1, runningApplications },
        { {}, {}, { "Chromium" }, 1, runningApplications },
        { { app("x11vnc", "x11vnc") }, {}, {}, 2, runningApplications },
        { {}, {}, {}, 2, "External monitors detected" },
    };
    for (const auto& [own, otherUsers, casts, screens, alert] : cases) {
        ExamView view;
        view.host.applications.applications = own;
        view.host.applications.otherUsersProcesses = otherUsers;
        view.host.casts = casts;
        view.host.screenCount = screens;
        view.loadView();
        SCOPED_TRACE(alert + " " + std::to_string(screens));
        ASSERT_EQ(view.host.alerts.size(), 1u);
        // Running applications refuse before anything else is done, a second screen after set-up.
        const CallLog refusal { "alert " + alert, "application.exitNow 0" };
        EXPECT_EQ(view.host.calls.size(), alert == runningApplications ? 4u : 8u);
        EXPECT_TRUE(std::equal(refusal.rbegin(), refusal.rend(), view.host.calls.rbegin()));
    }
    // The gate's answer is whether the launch may go on.
    FakeHost host;
    LaunchGate gate(host.applications, host, host, host, host);
    EXPECT_TRUE(gate.checkRunningApplications() && gate.checkExternalMonitors());
    host.screenCount = 2;
    host.casts = { "Chromium" };
    EXPECT_FALSE(gate.checkRunningApplications() || gate.checkExternalMonitors());
}

}
}
