#include <tuple>

#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

HttpFetch body(std::string text, long status = 200)
{
    return { std::move(text), HttpResponse { status }, std::nullopt };
}

HttpFetch document(const std::string& routing, const std::string& fallbackDomain, long status = 200)
{
    return body(R"({"routing":")" + routing + R"(","fallback_domain":")" + fallbackDomain + R"("})", status);
}

TEST(StatusRouting, TheStatusDocumentDecidesWhereTheExamStarts)
{
    const std::string invalid = "Invalid status document: ";
    const std::string notWeb = "Not loading an address that is not a web address: ";
    const std::string invalidAddress = "Not loading an invalid address: ";
    const HttpFetch byDefault = document("default", "x");
    struct Case {
        HttpFetch fetch;
        Lines lines;
        Lines loads = { launchPage };
        std::string examKey = {};
    };
    const Case cases[] = {
        { document("fallback", "https://f.test"), { "fallback https://f.test" }, { "https://f.test/init" }, "SECRET" },
        { body(R"({"fallback_domain":"https://f/","routing":"fallback","x":[{}]})"),
          { "fallback https://f/" },
          { "https://f//init" } },
        { document("fallback", "https://f.test", 500), { "fallback https://f.test" }, { "https://f.test/init" } },
        { document("Fallback", "https://f.test"), { "Fallback https://f.test" } },
        { body(R"({"routing":"a\nforged line","fallback_domain":"b\r\u0085c"})"), { "a\\nforged line b\\r\\u0085c" } },
        // An invalid document says why, then launches by default.
        { body(R"({"routing":"fallback"})", 404), { invalid + "member \"fallback_domain\" is missing" } },
        { body(R"({"routing":true,"fallback_domain":"x"})"),
          { invalid + "member \"routing\" is boolean, not a string" } },
        { body(""), { invalid + "not JSON" } },
        // The key from the launch link goes into the launch address as one query value.
        { byDefault, { "default x" }, { launchPage + "KEY-123_a.b~c" }, "KEY-123_a.b~c" },
        { byDefault, { "default x" }, { launchPage + "a%26b%3Dc%23d%20e%2Ff%3Fg%2Bh%25" }, "a&b=c#d e/f?g+h%" },
        // A transport error writes the key; an answer without body or error launches nothing.
        { { "ignored", std::nullopt, "Couldn't connect to server" }, { "KEY 1" }, { launchPage + "KEY%201" }, "KEY 1" },
        { { std::nullopt, HttpResponse { 204 }, std::nullopt }, {}, {} },
        // Only a valid web address is loaded.
        { document("fallback", "bad address"), { "fallback bad address", invalidAddress + "bad address/init" }, {} },
        { document("fallback", "javascript:x//"), { "fallback javascript:x//", notWeb + "javascript:x///init" }, {} },
    };
    for (const auto& testCase : cases) {
        ExamView view;
        view.examKey = testCase.examKey;
        view.loadView();
        view.answerStatus(testCase.fetch);
        SCOPED_TRACE(testCase.fetch.body.value_or("no body") + " " + testCase.examKey);
        EXPECT_EQ(view.host.output.lines, testCase.lines);
        EXPECT_EQ(view.page().loads, testCase.loads);
    }
}

using LaunchNavigationTest = ControllerFixture;

TEST_F(LaunchNavigationTest, TheLaunchTakesTheKeyStoredWhenTheCheckEndsAndTheErrorPageComesAtThirtySeconds)
{
    examKey = "LATE-BUT-IN-TIME";
    answerStatus({ std::nullopt, std::nullopt, "Could not connect to server" });
    examKey = "AFTER-THE-LAUNCH";
    const Lines launch { launchPage + "LATE-BUT-IN-TIME" };
    page().endWebProcess(WebProcessEnd::crashed);
    host.clock.advance(28.999);
    EXPECT_EQ(page().loads, launch) << "an end before the first load is left to the error-page check";
    EXPECT_EQ(host.output.lines, (Lines { "LATE-BUT-IN-TIME", "The web process crashed before the exam loaded" }));
    host.clock.advance(0.001);
    EXPECT_EQ(page().loads, (Lines { launch[0], host.errorPageAddress() }));
}

// Every finished navigation keeps the error page away and sets the pressure lock.
TEST_F(LaunchNavigationTest, AnEndedWebProcessReloadsTheExamThreeTimesAMinuteThenTheErrorPageStays)
{
    EXPECT_FALSE(controller->loadedSuccessfully());
    page().commitNavigation("https://exam.test/first");
    page().finishNavigation();
    // The exam moved on; the engine's empty page and the error page are no exam addresses.
    const std::string exam = "https://exam.test/second?q=2";
    for (const auto& address : Lines { exam, "about:blank", host.errorPageAddress() })
        page().commitNavigation(address);
    page().finishNavigation();
    EXPECT_TRUE(controller->loadedSuccessfully());
    const std::string again = ": loading the exam again at " + exam;
    const std::string errorPage = host.errorPageAddress() + "#The%20web%20process%20crashed";
    const std::tuple<double, WebProcessEnd, std::string, std::string> ends[] = {
        { 1, WebProcessEnd::crashed, "The web process crashed" + again, exam },
        { 30, WebProcessEnd::exceededMemoryLimit, "The web process exceeded its memory limit" + again, exam },
        { 50, WebProcessEnd::endedByProgram, "The web process was ended by the program" + again, exam },
        // The reload at 1 s has left the last minute.
        { 61, WebProcessEnd::crashed, "The web process crashed" + again, exam },
        { 62, WebProcessEnd::crashed, "The web process crashed: showing the error page", errorPage },
        { 600, WebProcessEnd::crashed, "The web process crashed: showing the error page", errorPage },
    };
    for (const auto& [at, reason, line, load] : ends) {
        SCOPED_TRACE(at);
        host.clock.advance(at - host.clock.now());
        page().endWebProcess(reason);
        EXPECT_EQ(std::exchange(host.output.lines, {}), Lines { line });
        EXPECT_EQ(std::exchange(page().loads, {}), Lines { load });
    }
    EXPECT_EQ(page().pressureConfigurations, std::vector(2, PressureBehavior::primaryClick));
}

// A failed load leaves the page that was there, except after the web process ended.
TEST_F(LaunchNavigationTest, AFailedLoadWritesALineAndAFailedReloadShowsTheErrorPage)
{
    page().commitNavigation("https://exam.test/q");
    page().finishNavigation();
    page().failNavigation("https://exam.test/next", "Could not connect: Connection refused");
    page().endWebProcess(WebProcessEnd::exceededMemoryLimit);
    page().failNavigation("https://exam.test/q", "Unacceptable TLS certificate");
    const std::string ending = "The web process exceeded its memory limit";
    EXPECT_EQ(host.output.lines,
              (Lines { "Could not load https://exam.test/next: Could not connect: Connection refused",
                       ending + ": loading the exam again at https://exam.test/q",
                       "Could not load https://exam.test/q: Unacceptable TLS certificate",
                       ending + ": showing the error page" }));
    EXPECT_EQ(page().loads,
              (Lines { "https://exam.test/q",
                       host.errorPageAddress() + "#The%20web%20process%20exceeded%20its%20memory%20limit" }));
}

TEST_F(LaunchNavigationTest, ALateLaunchReplacesTheErrorPageOnTheMainThread)
{
    host.clock.advance(30);
    page().finishNavigation();
    host.http.fetches.at(0).completion(document("fallback", "https://f.test"));
    EXPECT_EQ(page().loads, Lines { host.errorPageAddress() });
    EXPECT_EQ(host.output.lines, Lines { "fallback https://f.test" });
    host.clock.advance(0);
    EXPECT_EQ(page().loads, (Lines { host.errorPageAddress(), "https://f.test/init" }));
}

}
}
