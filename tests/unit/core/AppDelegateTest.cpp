#include <gtest/gtest.h>

#include "app/AppDelegate.h"
#include "tests/support/FakeHost.h"

namespace tessaro::testing {
namespace {

struct Shell {
    FakeHost host;
    std::string examKey = "kept";
    AppDelegate delegate { host, host, host.clock, host.output, examKey };
};

TEST(AppDelegate, TheFourthQuitPressWithinASecondEmptiesThePasteboardThenQuits)
{
    // Each press resets the count once, one second after itself.
    const std::pair<std::vector<double>, bool> cases[] = {
        { { 0.0, 0.1, 0.2 }, false },
        { { 0.0, 0.3, 0.6, 0.99 }, true },
        { { 0.0, 0.6, 1.2, 1.8, 2.4, 3.0, 3.6 }, false },
        { { 0.0, 0.5, 1.1, 1.2, 1.3, 1.6 }, false },
        { { 0.0, 1.5, 1.6, 2.1, 2.2 }, true },
    };
    for (const auto& [times, quits] : cases) {
        Shell shell;
        for (const double time : times) {
            shell.host.clock.advance(time - shell.host.clock.now());
            shell.delegate.pressCmdQ();
        }
        shell.host.clock.advance(5);
        EXPECT_EQ(shell.host.timesCalled("timers.schedule 1 once"), times.size());
        std::erase(shell.host.calls, "timers.schedule 1 once");
        const CallLog quit { "pasteboard.clearContents", "application.terminate" };
        EXPECT_EQ(shell.host.calls, quits ? quit : CallLog {}) << times.back();
        // Every reset has run: it takes all four presses again.
        shell.host.calls.clear();
        for (int press = 1; press <= AppDelegate::quitPresses; ++press) {
            EXPECT_EQ(shell.host.timesCalled("application.terminate"), 0U) << times.back();
            shell.delegate.pressCmdQ();
        }
        EXPECT_EQ(shell.host.timesCalled("application.terminate"), 1U) << times.back();
    }
}

TEST(AppDelegate, ASignalToQuitEndsTheExamAsTheQuitDoesSayingWhichSignal)
{
    const std::pair<QuitSignal, std::string> cases[] = {
        { QuitSignal::hangUp, "Quitting on SIGHUP" },
        { QuitSignal::interrupt, "Quitting on SIGINT" },
        { QuitSignal::terminate, "Quitting on SIGTERM" },
    };
    for (const auto& [signal, line] : cases) {
        Shell shell;
        shell.delegate.receiveQuitSignal(signal);
        EXPECT_EQ(shell.host.calls,
                  (CallLog { "line " + line, "pasteboard.clearContents", "application.terminateOnSignal" }));
        EXPECT_EQ(shell.host.endingSignal, signal);
    }
}

TEST(AppDelegate, ALaunchLinkStoresItsFirstPathSegmentAsTheExamKey)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        { { "tessaro://launch/KEY123" }, "KEY123" },
        { { "tessaro://launch/first/second" }, "first" },
        { { "tessaro://launch/caf%C3%A9%20key?q=1#f" }, "caf\xc3\xa9 key" },
        { { "TESSARO://launch/upper" }, "upper" },
        { { "tessaro://launch/one", "tessaro://launch/two" }, "one" },
        { { "tessaro://launch" }, "kept" },
        { { "tessaro://launch?examkey=x" }, "kept" },
        { {}, "kept" },
    };
    for (const auto& [links, key] : cases) {
        Shell shell;
        shell.delegate.openURLs(links);
        EXPECT_EQ(shell.examKey, key) << (links.empty() ? "" : links.front());
    }
    Shell shell;
    shell.delegate.openURLs({ "file:///n.txt" });
    EXPECT_EQ(shell.host.output.lines, Lines { "Ignoring a link that is not a tessaro: link: file:///n.txt" });
}

}
}
