#include "tests/support/ControllerFixture.h"
#include "web/LaunchAddress.h"

namespace tessaro::testing {
namespace {

const std::string errorPage = "resource:///org/tessaro/Tessaro/error.html";
const std::string launchPage = "https://exam.test/native-launch";

TEST(LaunchAddress, IsComposedFromRoutingDomainAndKey)
{
    struct Case {
        std::string routing, fallbackDomain, examKey, expected;
    };
    const std::vector<Case> cases {
        { "default", "https://f.test", "", launchPage + "?examkey=" },
        { "default", "https://f.test", "KEY-123_a.b~c", launchPage + "?examkey=KEY-123_a.b~c" },
        { "default", "", "a&b=c#frag d/e?f+g%", launchPage + "?examkey=a%26b%3Dc%23frag%20d%2Fe%3Ff%2Bg%25" },
        { "default", "", "caf\xc3\xa9", launchPage + "?examkey=caf%C3%A9" },
        { "fallback", "https://f.test", "SECRET", "https://f.test/init" },
        { "fallback", "https://f.test/", "", "https://f.test//init" },
        { "fallback", "", "", "/init" },
        { "FALLBACK", "https://f.test", "k", launchPage + "?examkey=k" },
    };
    for (const auto& testCase : cases) {
        EXPECT_EQ(launchAddress(testCase.routing, testCase.fallbackDomain, launchPage, testCase.examKey),
                  testCase.expected)
            << testCase.routing << " " << testCase.examKey;
    }
}

class LaunchNavigationTest : public ControllerFixture {
protected:
    void launchWith(const std::string& statusBody)
    {
        host.clock.advance(1.0);
        host.http.completeFetch(0, { statusBody, HttpResponse { 200 }, std::nullopt });
        host.clock.runPostedWork();
    }
};

TEST_F(LaunchNavigationTest, TheErrorPageShowsAtThirtySecondsWhenNothingFinished)
{
    loadView();
    launchWith(R"({"routing":"default","fallback_domain":""})");
    host.clock.advance(28.999);
    EXPECT_EQ(page().loads.size(), 1u);
    host.clock.advance(0.001);
    EXPECT_EQ(page().loads, (std::vector<std::string> { launchPage + "?examkey=", errorPage }));
    page().finishNavigation();
    EXPECT_TRUE(controller->loadedSuccessfully());
    host.clock.advance(600);
    EXPECT_EQ(page().loads.size(), 2u);
}

TEST_F(LaunchNavigationTest, AFinishedNavigationBeforeThirtySecondsKeepsTheErrorPageAway)
{
    loadView();
    launchWith(R"({"routing":"default","fallback_domain":""})");
    host.clock.advance(27);
    page().finishNavigation();
    host.clock.advance(600);
    EXPECT_EQ(page().loads.size(), 1u);
}

TEST_F(LaunchNavigationTest, ALateLaunchReplacesTheErrorPage)
{
    loadView();
    host.clock.advance(30);
    page().finishNavigation();
    host.http.completeFetch(
        0, { R"({"routing":"fallback","fallback_domain":"https://f.test"})", HttpResponse { 200 }, std::nullopt });
    host.clock.runPostedWork();
    EXPECT_EQ(page().loads, (std::vector<std::string> { errorPage, "https://f.test/init" }));
    EXPECT_TRUE(controller->loadedSuccessfully());
}

TEST_F(LaunchNavigationTest, EveryFinishedNavigationSetsThePressureLockAgain)
{
    loadView();
    EXPECT_FALSE(controller->loadedSuccessfully());
    for (int i = 1; i <= 3; ++i) {
        page().finishNavigation();
        EXPECT_EQ(page().pressureConfigurations, i);
        EXPECT_TRUE(controller->loadedSuccessfully());
    }
    EXPECT_EQ(host.calls.withPrefix("webView.setPressureConfiguration").front(), "webView.setPressureConfiguration 1");
}

TEST_F(LaunchNavigationTest, AnAddressThatDoesNotParseLoadsNothingAndSaysSo)
{
    loadView();
    launchWith(R"({"routing":"fallback","fallback_domain":"not an address"})");
    EXPECT_TRUE(page().loads.empty());
    EXPECT_EQ(host.output.lines.back(), "Not loading an invalid address: not an address/init");
    host.clock.advance(29);
    EXPECT_EQ(page().loads, std::vector<std::string> { errorPage });
}

TEST(LaunchNavigation, OnlyWebAddressesAreLaunched)
{
    for (const std::string domain : { "javascript:alert(1)//", "file:///etc", "resource:///org/tessaro/Tessaro" }) {
        FakeHost host;
        const std::string examKey;
        ViewController controller(host, testEndpoints, examKey);
        controller.loadView(host.window);
        host.clock.advance(1.0);
        host.http.completeFetch(
            0, { R"({"routing":"fallback","fallback_domain":")" + domain + R"("})", HttpResponse { 200 }, {} });
        host.clock.runPostedWork();
        EXPECT_TRUE(host.webView->loads.empty()) << domain;
        EXPECT_EQ(host.output.lines.back(), "Not loading an address that is not a web address: " + domain + "/init");
    }
}

TEST_F(LaunchNavigationTest, AKeyStoredAfterTheLaunchChangesNothing)
{
    examKey = "FIRST";
    loadView();
    launchWith(R"({"routing":"default","fallback_domain":""})");
    examKey = "SECOND";
    host.clock.advance(100);
    EXPECT_EQ(page().loads.front(), launchPage + "?examkey=FIRST");
}

}
}
