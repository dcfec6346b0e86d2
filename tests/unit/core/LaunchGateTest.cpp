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

TEST(LaunchGateSelection, IncompleteRecordsAreEmpty)
{
    EXPECT_EQ(app("id", std::nullopt), std::nullopt);
    EXPECT_EQ(app(std::nullopt, "name"), std::nullopt);
    EXPECT_EQ(app("id", "name"), (ApplicationData { "id", "name" }));
}

TEST(LaunchGateSelection, EveryEntryHasItsReasonAndAppearsOnce)
{
    std::set<std::string_view> seen;
    for (const auto& entry : blockedBundleIdentifiers()) {
        EXPECT_FALSE(entry.reason.empty()) << entry.bundleIdentifier;
        EXPECT_TRUE(seen.insert(entry.bundleIdentifier).second) << entry.bundleIdentifier;
    }
    EXPECT_EQ(blockedBundleIdentifiers()[0].bundleIdentifier, "com.apple.screencaptureui");
    EXPECT_EQ(blockedBundleIdentifiers()[1].bundleIdentifier, "com.google.chromeremotedesktop.me2me-host");
}

using LaunchGateTest = ControllerFixture;

TEST_F(LaunchGateTest, ABlockedApplicationEndsTheLaunchBeforeThePasteboardIsTouched)
{
    host.applications.applications = { app("org.flameshot.Flameshot", "Flameshot") };
    loadView();
    const std::vector<std::string> expected {
        "window.setDelegate",    "everyProcess", "activeScreenCasts", "alert Running applications need to be quit",
        "application.exitNow 0",
    };
    EXPECT_EQ(host.calls.entries(), expected);
    EXPECT_EQ(host.alerts.shown.at(0).informativeText, fixedText + "Flameshot");
}

TEST(LaunchGateRefusal, AnotherUsersServiceOrAScreenCastRefusesTheLaunchLikeABlockedTool)
{
    const std::vector<std::pair<std::vector<RunningApplication>, std::vector<std::string>>> cases {
        { { app("teamviewerd", "teamviewerd") }, {} },
        { {}, { "Chromium" } },
    };
    for (const auto& [otherUsersProcesses, casts] : cases) {
        FakeHost host;
        host.applications.otherUsersProcesses = otherUsersProcesses;
        host.casts.casts = casts;
        std::string examKey;
        ViewController controller(host, testEndpoints, examKey);
        controller.loadView(host.window);
        ASSERT_EQ(host.alerts.shown.size(), 1u);
        EXPECT_EQ(host.alerts.shown[0].messageText, "Running applications need to be quit");
        EXPECT_EQ(host.app.exitStatus, 0);
        EXPECT_EQ(host.clipboard.clears, 0);
    }
}

TEST_F(LaunchGateTest, ASecondScreenEndsTheLaunchAfterTheRestOfTheSetUp)
{
    host.displays.screenCount = 2;
    loadView();
    const auto& calls = host.calls.entries();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3], "screens.count");
    EXPECT_EQ(calls[calls.size() - 2], "alert External monitors detected");
    EXPECT_EQ(calls.back(), "application.exitNow 0");
    EXPECT_EQ(host.clipboard.clears, 1);
    EXPECT_EQ(host.alerts.shown.at(0).informativeText,
              "External monitors need to be disconnected before launching the application");
}

TEST_F(LaunchGateTest, NoTimerFiresWhileTheAlertIsUp)
{
    host.displays.screenCount = 3;
    host.alerts.secondsUp = 45; // longer than both set-up timers
    loadView();
    EXPECT_TRUE(host.http.fetches.empty());
    EXPECT_TRUE(page().loads.empty());
}

TEST_F(LaunchGateTest, WithBothOnlyTheRunningApplicationsAlertShows)
{
    host.displays.screenCount = 2;
    host.applications.applications = { app("x11vnc", "x11vnc") };
    loadView();
    ASSERT_EQ(host.alerts.shown.size(), 1u);
    EXPECT_EQ(host.alerts.shown[0].messageText, "Running applications need to be quit");
    EXPECT_EQ(host.clipboard.clears, 0);
}

}
}
