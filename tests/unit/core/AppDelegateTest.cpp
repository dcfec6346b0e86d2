#include <gtest/gtest.h>

#include "app/AppDelegate.h"
#include "tests/support/FakeHost.h"

namespace tessaro::testing {
namespace {

class AppDelegateTest : public ::testing::Test {
public:
    FakeHost host;
    std::string examKey;
    AppDelegate delegate { host.app, host.clipboard, host.clock, host.output, examKey };

protected:
    void pressAt(const std::vector<double>& times)
    {
        for (const double time : times) {
            host.clock.advance(time - host.clock.now());
            delegate.pressCmdQ();
        }
    }
};

TEST_F(AppDelegateTest, ThreeFastPressesLeaveTheApplicationRunning)
{
    pressAt({ 0.0, 0.1, 0.2 });
    host.clock.advance(5);
    EXPECT_EQ(host.app.terminations, 0);
    EXPECT_EQ(host.clipboard.clears, 0);
    EXPECT_EQ(delegate.times(), 0);
}

TEST_F(AppDelegateTest, FourthPressWithinASecondEmptiesThePasteboardThenQuits)
{
    pressAt({ 0.0, 0.3, 0.6, 0.99 });
    EXPECT_EQ(host.app.terminations, 1);
    EXPECT_EQ(host.calls.withPrefix("pasteboard").size(), 1u);
    EXPECT_LT(host.calls.indexOf("pasteboard.clearContents"), host.calls.indexOf("application.terminate"));
}

TEST_F(AppDelegateTest, PressesSixTenthsOfASecondApartNeverQuit)
{
    pressAt({ 0.0, 0.6, 1.2, 1.8, 2.4, 3.0, 3.6 });
    host.clock.advance(5);
    EXPECT_EQ(host.app.terminations, 0);
}

TEST_F(AppDelegateTest, EachPressResetsTheCountOneSecondAfterItself)
{
    pressAt({ 0.0, 0.5 });
    EXPECT_EQ(delegate.times(), 2);
    host.clock.advance(0.6); // t = 1.1: the first press's reset has run
    EXPECT_EQ(delegate.times(), 0);
    delegate.pressCmdQ();
    EXPECT_EQ(delegate.times(), 1);
    host.clock.advance(0.45); // t = 1.55: the second press's reset clears this one too
    EXPECT_EQ(delegate.times(), 0);
}

TEST_F(AppDelegateTest, LaunchLinksStoreTheirFirstPathSegment)
{
    struct Case {
        std::vector<std::string> links;
        std::string expectedKey;
    };
    const std::vector<Case> cases {
        { { "tessaro://launch/KEY123" }, "KEY123" },
        { { "tessaro://launch/first/second" }, "first" },
        { { "tessaro://launch/caf%C3%A9%20key" }, "caf\xc3\xa9 key" },
        { { "tessaro://launch/a%2Fb" }, "a/b" },
        { { "tessaro:///only-path" }, "only-path" },
        { { "TESSARO://launch/upper" }, "upper" },
        { { "tessaro://launch/one", "tessaro://launch/two" }, "one" },
    };
    for (const auto& testCase : cases) {
        examKey.clear();
        delegate.openURLs(testCase.links);
        EXPECT_EQ(examKey, testCase.expectedKey) << testCase.links.front();
    }
}

TEST_F(AppDelegateTest, LinksWithoutASegmentKeepTheEarlierKey)
{
    delegate.openURLs({ "tessaro://launch/kept" });
    for (const std::string link :
         { "tessaro://launch", "tessaro://launch/", "tessaro:", "tessaro://launch?examkey=x" }) {
        delegate.openURLs({ link });
        EXPECT_EQ(examKey, "kept") << link;
    }
    delegate.openURLs({});
    EXPECT_EQ(examKey, "kept");
}

TEST_F(AppDelegateTest, ALaterLinkWins)
{
    delegate.openURLs({ "tessaro://launch/first" });
    delegate.openURLs({ "tessaro://launch/second" });
    EXPECT_EQ(examKey, "second");
}

TEST_F(AppDelegateTest, OnlyTessaroLinksCarryAKey)
{
    delegate.openURLs({ "tessaro://launch/kept" });
    delegate.openURLs({ "file:///home/student/notes.txt" });
    delegate.openURLs({ "https://example.org/other" });
    EXPECT_EQ(examKey, "kept");
    ASSERT_EQ(host.output.lines.size(), 2u);
    EXPECT_EQ(host.output.lines[0], "Ignoring a link that is not a tessaro: link: file:///home/student/notes.txt");
}

}
}
