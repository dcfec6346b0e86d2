#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

class LaunchNavigationTest : public ControllerFixture {
protected:
    void launchByDefault() { answerStatus({ std::nullopt, std::nullopt, "Could not connect to server" }); }
};

TEST_F(LaunchNavigationTest, TheErrorPageShowsAtThirtySecondsWhenNothingFinished)
{
    launchByDefault();
    host.clock.advance(28.999);
    EXPECT_EQ(page().loads, std::vector<std::string> { launchPage });
    host.clock.advance(0.001);
    EXPECT_EQ(page().loads, (std::vector<std::string> { launchPage, errorPage }));
    page().finishNavigation();
    EXPECT_TRUE(controller->loadedSuccessfully());
    host.clock.advance(600);
    EXPECT_EQ(page().loads.size(), 2u);
}

TEST_F(LaunchNavigationTest, EveryFinishedNavigationKeepsTheErrorPageAwayAndSetsThePressureLock)
{
    EXPECT_FALSE(controller->loadedSuccessfully());
    page().finishNavigation();
    page().finishNavigation();
    EXPECT_TRUE(controller->loadedSuccessfully());
    EXPECT_EQ(host.timesCalled("webView.setPressureConfiguration 1"), 2u);
    host.clock.advance(600);
    EXPECT_TRUE(page().loads.empty());
}

TEST_F(LaunchNavigationTest, ALateLaunchReplacesTheErrorPage)
{
    host.clock.advance(30);
    page().finishNavigation();
    host.http.completeFetch(
        0, { R"({"routing":"fallback","fallback_domain":"https://f.test"})", HttpResponse { 200 }, std::nullopt });
    host.clock.runPostedWork();
    EXPECT_EQ(page().loads, (std::vector<std::string> { errorPage, "https://f.test/init" }));
}

TEST_F(LaunchNavigationTest, TheKeyIsTheOneStoredWhenTheStatusCheckEnds)
{
    examKey = "LATE-BUT-IN-TIME";
    launchByDefault();
    examKey = "AFTER-THE-LAUNCH";
    host.clock.advance(100);
    EXPECT_EQ(page().loads.front(), launchPage + "LATE-BUT-IN-TIME");
}

}
}
