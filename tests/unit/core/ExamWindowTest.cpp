#include <tuple>

#include "bridge/BatteryLevel.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

using ExamWindowTest = ControllerFixture;

TEST(ViewSetUp, RunsItsStepsInOrderThenRequestsTheStatusDocumentOneSecondLaterOnce)
{
    ExamView view;
    view.host.systemVersion = { 14, 5, 0 };
    view.host.appVersion = "2.3.1-beta";
    view.loadView();
    const CallLog expected {
        "everyProcess",           "activeScreenCasts", "pasteboard.clearContents", "timers.schedule 30 once",
        "timers.schedule 1 once", "screens.count",
    };
    EXPECT_EQ(view.host.calls, expected);
    EXPECT_EQ(view.host.window.subview, view.host.webView);
    EXPECT_EQ(view.page().userAgent,
              "Mozilla\\/5.0 (Macintosh; Intel Mac OS X 14_5_0) tessaro-macOS app 2.3.1-beta "
              "AppleWebKit\\/605.1.15 (KHTML, like Gecko)");
    EXPECT_EQ(view.page().engineStartedWith, view.page().userAgent);
    view.host.clock.advance(100);
    EXPECT_EQ(view.host.http.fetches.at(0).address, testEndpoints.statusDocumentURL);
    // The first keyboard focus empties the pasteboard once more; later ones leave what was copied.
    view.host.window.becomeKey();
    view.host.window.becomeKey();
    EXPECT_EQ(view.host.timesCalled("pasteboard.clearContents"), 2u);
}

TEST_F(ExamWindowTest, ThePageMayAskOnlyForTheCameraOrMicrophoneAndSavesNothing)
{
    EXPECT_EQ(page().policy->permissionRequested(PermissionKind::cameraOrMicrophone), PermissionAnswer::askStudent);
    EXPECT_EQ(page().policy->permissionRequested(PermissionKind::other), PermissionAnswer::deny);
    EXPECT_FALSE(page().policy->shouldPrint());
    EXPECT_FALSE(page().policy->shouldShowContextMenu());
    const std::pair<PageResponse, bool> cases[] = {
        { { "https://exam.test/page", "", true }, true },
        { { "https://exam.test/a.txt", "attachment; filename=a.txt", true }, false },
        { { "https://exam.test/b.txt", "ATTACHMENT", true }, false },
        { { "https://exam.test/c.zip", "", false }, false },
    };
    for (const auto& [response, shown] : cases) {
        host.output.lines.clear();
        EXPECT_EQ(page().policy->shouldShowResponse(response), shown) << response.address;
        EXPECT_EQ(host.output.lines.size(), shown ? 0u : 1u) << response.address;
    }
    host.output.lines.clear();
    EXPECT_FALSE(page().policy->shouldDownload("blob:https://exam.test/1\r"));
    EXPECT_EQ(host.output.lines, CallLog { "Not saving what the web view cannot show: blob:https://exam.test/1\\r" });
}

TEST_F(ExamWindowTest, LockingFillsTheScreenGoesFullScreenAndSaysSoEachTimeTheWindowIsShown)
{
    const std::vector<std::string> expected {
        "window.fillScreen",
        "window.enterFullScreen",
        "line Was able to lock? true",
        "window.excludeFromCapture",
        "line This desktop cannot keep the exam window out of screen captures",
        "timers.schedule 30 repeating",
    };
    host.calls.clear();
    host.window.appear();
    EXPECT_EQ(host.calls, expected);
    host.calls.clear();
    host.mainScreen = false;
    host.window.appear();
    EXPECT_EQ(host.calls, (CallLog { expected[0], "line Was able to lock? false", expected[3], expected[4] }));
}

TEST_F(ExamWindowTest, ALateRefusalIsReportedAndTheOneBatteryReportComesThirtySecondsAfterTheFirstLock)
{
    host.power.sources = { { 57 } };
    host.window.immediateFullScreenAnswer.reset();
    host.clock.advance(100);
    host.window.appear();
    host.clock.advance(2);
    host.window.changeState({ true, false });
    EXPECT_TRUE(host.output.lines.empty());
    host.window.answerFullScreen(false);
    EXPECT_EQ(host.output.lines.front(), "Was able to lock? false");
    EXPECT_EQ(host.timesCalled("window.enterFullScreen"), 1u) << "what the window manager does meanwhile is its answer";
    host.clock.advance(28);
    EXPECT_EQ(takePageCalls(), Lines { pageCall("battery", "0.57") });
    host.window.appear();
    host.window.appear();
    host.clock.advance(60);
    EXPECT_EQ(takePageCalls().size(), 2u) << "showing the window again adds no battery report";
}

TEST_F(ExamWindowTest, TheActiveWindowFoundOutOfFullScreenIsAskedBackOncePerChange)
{
    host.window.appear();
    host.window.immediateFullScreenAnswer = false; // a window manager that refuses
    const CallLog askedAgain { "window.enterFullScreen",
                               "line The exam window left full screen; asked for it again. Was able to lock? false" };
    // Active, full screen; whether full screen is asked for again.
    const std::tuple<bool, bool, bool> changes[] = {
        { true, true, false }, { true, false, true },  { true, false, false }, { false, false, false },
        { true, false, true }, { false, true, false }, { true, true, false },  { true, false, true },
    };
    for (const auto& [active, fullScreen, asked] : changes) {
        host.calls.clear();
        host.window.changeState({ active, fullScreen });
        EXPECT_EQ(host.calls, asked ? askedAgain : CallLog {}) << active << fullScreen;
    }
}

TEST(BatteryLevel, IsTheFirstSourcesChargeAsAFraction)
{
    const std::pair<std::vector<PowerSource>, float> cases[] = {
        { { { 57 } }, 0.57f },          { { { 104 } }, 1.04f },        { {}, 0.0f },
        { { { std::nullopt } }, 0.0f }, { { { 40 }, { 90 } }, 0.40f }, { { { std::nullopt }, { 90 } }, 0.0f },
    };
    for (const auto& [sources, level] : cases) {
        FakePowerSources power;
        power.sources = sources;
        EXPECT_EQ(batteryLevel(power), level);
    }
}

}
}
