#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

using ViewSetUpTest = ControllerFixture;

TEST_F(ViewSetUpTest, SetUpRunsItsStepsInOrder)
{
    loadView();
    const std::vector<std::string> expected {
        "window.setDelegate",
        "everyProcess",
        "activeScreenCasts",
        "pasteboard.clearContents",
        "webView.setCustomUserAgent",
        "timers.schedule 30 once",
        "timers.schedule 1 once",
        "window.addSubview",
        "webView.setNavigationDelegate",
        "webView.setUIDelegate",
        "webView.addScriptMessageHandler saveFile",
        "webView.addScriptMessageHandler security",
        "webView.addScriptMessageHandler log",
        "webView.addScriptMessageHandler quit",
        "webView.addScriptMessageHandler download",
        "webView.addScriptMessageHandler processes",
        "screens.count",
    };
    EXPECT_EQ(host.calls.entries(), expected);
    EXPECT_EQ(host.window.subview, host.webView);
}

TEST_F(ViewSetUpTest, TheFirstKeyboardFocusEmptiesThePasteboardOnceMore)
{
    loadView();
    host.window.appear();
    EXPECT_EQ(host.clipboard.clears, 1);
    host.window.becomeKey();
    EXPECT_EQ(host.clipboard.clears, 2);
    host.window.becomeKey();
    EXPECT_EQ(host.clipboard.clears, 2) << "later focus changes leave what the student copied in the exam";
}

TEST_F(ViewSetUpTest, TheUserAgentIsSetBeforeAnyPageIsRequested)
{
    host.system.version = { 14, 5, 0 };
    host.system.appVersion = "2.3.1-beta";
    loadView();
    EXPECT_EQ(page().userAgent,
              "Mozilla\\/5.0 (Macintosh; Intel Mac OS X 14_5_0) tessaro-macOS app 2.3.1-beta "
              "AppleWebKit\\/605.1.15 (KHTML, like Gecko)");
    EXPECT_TRUE(page().loads.empty());
}

TEST_F(ViewSetUpTest, TheStatusDocumentIsRequestedOneSecondAfterSetUp)
{
    loadView();
    host.clock.advance(0.999);
    EXPECT_TRUE(host.http.fetches.empty());
    host.clock.advance(0.001);
    ASSERT_EQ(host.http.fetches.size(), 1u);
    EXPECT_EQ(host.http.fetches[0].address, testEndpoints.statusDocumentURL);
    host.clock.advance(100);
    EXPECT_EQ(host.http.fetches.size(), 1u);
}

TEST_F(ViewSetUpTest, OnlyTheSixNamesReachTheController)
{
    loadView();
    for (const auto name : ViewController::scriptMessageNames)
        EXPECT_TRUE(page().postMessage(std::string(name), nullptr)) << name;
    EXPECT_FALSE(page().postMessage("battery", nullptr));
    EXPECT_FALSE(page().postMessage("Log", "x"));
    EXPECT_EQ(host.output.lines.front(), "saveFile");
    EXPECT_EQ(std::count(host.output.lines.begin(), host.output.lines.end(), "battery"), 0);
}

TEST_F(ViewSetUpTest, ALaunchLinkStoredBeforeTheStatusCheckIsUsed)
{
    loadView();
    examKey = "LATE-BUT-IN-TIME";
    host.clock.advance(1);
    host.http.completeFetch(0, { std::nullopt, std::nullopt, "Could not connect to server" });
    host.clock.runPostedWork();
    EXPECT_EQ(page().loads, std::vector<std::string> { testEndpoints.launchPageURL + "?examkey=LATE-BUT-IN-TIME" });
}

TEST_F(ViewSetUpTest, ThePageMayAskOnlyForTheCameraOrMicrophone)
{
    loadView();
    ASSERT_TRUE(page().policy);
    EXPECT_EQ(page().policy->permissionRequested(PermissionKind::cameraOrMicrophone), PermissionAnswer::askStudent);
    EXPECT_EQ(page().policy->permissionRequested(PermissionKind::other), PermissionAnswer::deny);
    EXPECT_FALSE(page().policy->shouldPrint());
    EXPECT_FALSE(page().policy->shouldShowContextMenu());
    EXPECT_TRUE(host.output.lines.empty());
}

TEST_F(ViewSetUpTest, NothingThePageCannotShowIsSaved)
{
    struct Case {
        PageResponse response;
        bool shown;
    };
    const Case cases[] = {
        { { "https://exam.test/page", "", true }, true },
        { { "https://exam.test/a.pdf", "inline; filename=a.pdf", true }, true },
        { { "https://exam.test/a.txt", "attachment; filename=a.txt", true }, false },
        { { "https://exam.test/b.txt", "ATTACHMENT", true }, false },
        { { "https://exam.test/c.zip", "", false }, false },
    };
    loadView();
    for (const auto& [response, shown] : cases) {
        host.output.lines.clear();
        EXPECT_EQ(page().policy->shouldShowResponse(response), shown) << response.address;
        const std::vector<std::string> expected = shown
            ? std::vector<std::string> {}
            : std::vector<std::string> { "Not saving what the web view cannot show: " + response.address };
        EXPECT_EQ(host.output.lines, expected) << response.address;
    }
    host.output.lines.clear();
    EXPECT_FALSE(page().policy->shouldDownload("blob:https://exam.test/1\r"));
    EXPECT_EQ(host.output.lines,
              std::vector<std::string> { "Not saving what the web view cannot show: blob:https://exam.test/1\\r" });
}

}
}
