#include "window/LaunchGate.h"
#include "tests/support/ControllerFixture.h"
#include "window/ShownName.h"

namespace tessaro::testing {
namespace {

const std::string fixedText
    = "You need to close the following applications before launching Tessaro. Tessaro will now be quit.\n\n";

RunningApplication app(std::optional<std::string> identifier, std::optional<std::string> name)
{
    return runningApplication(std::move(identifier), std::move(name));
}

TEST(LaunchGateSelection, NamesEveryBlockedInstanceInPlatformOrder)
{
    struct Case {
        const char* what;
        std::vector<RunningApplication> running;
        std::optional<std::string> names;
        std::vector<std::string> screenCasts = {};
    };
    const std::vector<Case> cases {
        { "nothing blocked", { app("org.gnome.Nautilus", "Files"), app("firefox", "firefox") }, std::nullopt },
        { "one blocked",
          { app("org.gnome.Nautilus", "Files"), app("com.apple.screencaptureui", "Screenshot") },
          "Screenshot" },
        { "both of the original pair, in platform order",
          { app("com.google.chromeremotedesktop.me2me-host", "Remote Host"), app("x", "y"),
            app("com.apple.screencaptureui", "Screenshot") },
          "Remote Host\nScreenshot" },
        { "one tool running twice", { app("obs", "obs"), app("obs", "obs") }, "obs\nobs" },
        { "by application ID and by executable name",
          { app("com.obsproject.Studio", "OBS Studio"), app("x11vnc", "x11vnc") },
          "OBS Studio\nx11vnc" },
        { "a blocked identifier without a name is not seen",
          { app("com.apple.screencaptureui", std::nullopt) },
          std::nullopt },
        { "an empty identifier", { app("", "nameless") }, std::nullopt },
        { "letter case differs", { app("COM.APPLE.SCREENCAPTUREUI", "Screenshot"), app("OBS", "OBS") }, std::nullopt },
        { "prefix and suffix",
          { app("com.apple.screencaptureui.helper", "a"), app("obs-studio-helper", "b"),
            app("com.apple.screencapture", "c") },
          std::nullopt },
        { "a screen cast, named by who receives it",
          { app("firefox", "firefox") },
          "A screen is being shared: Firefox",
          { "Firefox" } },
        { "blocked tools first, then every screen cast",
          { app("xdg-desktop-portal-wlr", "xdg-desktop-por"), app("teamviewerd", "teamviewerd") },
          "teamviewerd\nA screen is being shared: Firefox\nA screen is being shared: gnome-shell",
          { "Firefox", "gnome-shell" } },
        { "hostile names are escaped and cut",
          { app("obs", "obs\n<b>Fake</b>\x1b[2J") },
          "obs\\x0a<b>Fake</b>\\x1b[2J\nA screen is being shared: \\xff\\x00" + std::string(56, 'x') + "\u2026",
          { std::string("\xff\0", 2) + std::string(100, 'x') } },
    };
    for (const auto& testCase : cases) {
        const auto alert = runningApplicationsAlert(testCase.running, testCase.screenCasts);
        ASSERT_EQ(alert.has_value(), testCase.names.has_value()) << testCase.what;
        if (!alert)
            continue;
        EXPECT_EQ(alert->informativeText, fixedText + *testCase.names) << testCase.what;
        EXPECT_EQ(alert->messageText, "Running applications need to be quit");
        EXPECT_EQ(alert->buttonTitle, "Quit");
    }
}

TEST(LaunchGateSelection, NamesAreShownEscapedAndCut)
{
    const std::string e = "\u00e9";
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        { "OBS Studio", 64, "OBS Studio" },
        { "a\nb\x7f", 64, "a\\x0ab\\x7f" },
        { "\xc2\x85|\u2028|\u2029", 64, "\\xc2\\x85|\\xe2\\x80\\xa8|\\xe2\\x80\\xa9" },
        { "\u00a0" + e + "\u0800\U0001F600\uffff", 64, "\u00a0" + e + "\u0800\U0001F600\uffff" },
        { "\xc0\xaf|\xe0\x80\xaf|\xed\xa0\x80|\xf4\x90\x80\x80|\xf8", 64,
          "\\xc0\\xaf|\\xe0\\x80\\xaf|\\xed\\xa0\\x80|\\xf4\\x90\\x80\\x80|\\xf8" },
        { "\xe2\x82(", 64, "\\xe2\\x82(" },
        { "\xfc\x80\x80\x80|x\xe2\x82", 64, "\\xfc\\x80\\x80\\x80|x\\xe2\\x82" },
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
        view.host.alertSecondsUp = 45; // longer than both set-up timers: none fires meanwhile
        view.loadView();
        SCOPED_TRACE(alert + " " + std::to_string(screens));
        ASSERT_EQ(view.host.alerts.size(), 1u);
        const CallLog refusal { "alert " + alert, "application.exitNow 0" };
        EXPECT_TRUE(std::equal(refusal.rbegin(), refusal.rend(), view.host.calls.rbegin()));
        EXPECT_TRUE(view.host.http.fetches.empty());
        EXPECT_TRUE(view.page().loads.empty());
        if (alert == runningApplications) {
            // Before the pasteboard or anything else is touched.
            EXPECT_EQ(view.host.calls.size(), 5u);
            continue;
        }
        // After the rest of the set-up.
        EXPECT_EQ(view.host.calls.at(view.host.calls.size() - 3), "screens.count");
        EXPECT_EQ(view.host.timesCalled("pasteboard.clearContents"), 1u);
        EXPECT_EQ(view.host.alerts[0].informativeText,
                  "External monitors need to be disconnected before launching the application");
    }
}

}
}
