#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

using ViewSetUpTest = ControllerFixture;

TEST(ViewSetUp, RunsItsStepsInOrderThenRequestsTheStatusDocumentOneSecondLater)
{
    ExamView view;
    view.host.systemVersion = { 14, 5, 0 };
    view.host.appVersion = "2.3.1-beta";
    view.loadView();
    const CallLog expected {
        "window.setDelegate",      "everyProcess",           "activeScreenCasts", "pasteboard.clearContents",
        "timers.schedule 30 once", "timers.schedule 1 once", "screens.count",
    };
    EXPECT_EQ(view.host.calls, expected);
    EXPECT_EQ(view.host.window.subview, view.host.webView);
    EXPECT_EQ(view.page().userAgent,
              "Mozilla\\/5.0 (Macintosh; Intel Mac OS X 14_5_0) tessaro-macOS app 2.3.1-beta "
              "AppleWebKit\\/605.1.15 (KHTML, like Gecko)");
    view.host.clock.advance(0.999);
    EXPECT_TRUE(view.host.http.fetches.empty());
    view.host.clock.advance(0.001);
    ASSERT_EQ(view.host.http.fetches.size(), 1u);
    EXPECT_EQ(view.host.http.fetches[0].address, testEndpoints.statusDocumentURL);
    view.host.clock.advance(100);
    EXPECT_EQ(view.host.http.fetches.size(), 1u);
}

TEST_F(ViewSetUpTest, TheFirstKeyboardFocusEmptiesThePasteboardOnceMore)
{
    host.window.appear();
    EXPECT_EQ(host.timesCalled("pasteboard.clearContents"), 1u);
    host.window.becomeKey();
    host.window.becomeKey();
    EXPECT_EQ(host.timesCalled("pasteboard.clearContents"), 2u) << "later focus changes leave what was copied";
}

TEST_F(ViewSetUpTest, OnlyTheSixNamesReachTheController)
{
    for (const auto name : ViewController::scriptMessageNames)
        EXPECT_TRUE(page().postMessage(std::string(name), nullptr)) << name;
    EXPECT_FALSE(page().postMessage("battery", nullptr));
    EXPECT_FALSE(page().postMessage("Log", "x"));
}

TEST_F(ViewSetUpTest, ThePageMayAskOnlyForTheCameraOrMicrophoneAndSavesNothing)
{
    ASSERT_TRUE(page().policy);
    EXPECT_EQ(page().policy->permissionRequested(PermissionKind::cameraOrMicrophone), PermissionAnswer::askStudent);
    EXPECT_EQ(page().policy->permissionRequested(PermissionKind::other), PermissionAnswer::deny);
    EXPECT_FALSE(page().policy->shouldPrint());
    EXPECT_FALSE(page().policy->shouldShowContextMenu());
    const std::pair<PageResponse, bool> cases[] = {
        { { "https://exam.test/page", "", true }, true },
        { { "https://exam.test/a.pdf", "inline; filename=a.pdf", true }, true },
        { { "https://exam.test/a.txt", "attachment; filename=a.txt", true }, false },
        { { "https://exam.test/b.txt", "ATTACHMENT", true }, false },
        { { "https://exam.test/c.zip", "", false }, false },
    };
    for (const auto& [response, shown] : cases) {
        host.output.lines.clear();
        EXPECT_EQ(page().policy->shouldShowResponse(response), shown) << response.address;
        const auto expected
            = shown ? CallLog {} : CallLog { "Not saving what the web view cannot show: " + response.address };
        EXPECT_EQ(host.output.lines, expected) << response.address;
    }
    host.output.lines.clear();
    EXPECT_FALSE(page().policy->shouldDownload("blob:https://exam.test/1\r"));
    EXPECT_EQ(host.output.lines, CallLog { "Not saving what the web view cannot show: blob:https://exam.test/1\\r" });
}

}
}
