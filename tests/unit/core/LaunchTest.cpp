// The way to the first page: the status document, the launch address, the error page.

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
        { document("", ""), { " " } },
        { document("Fallback", "https://f.test"), { "Fallback https://f.test" } },
        { body(R"({"routing":"a\nforged line","fallback_domain":"b\r\u0085c"})"), { "a\\nforged line b\\r\\u0085c" } },
        // An invalid document says why, then launches by default.
        { body(R"({"routing":"fallback"})", 404), { invalid + "member \"fallback_domain\" is missing" } },
        { body(R"({"routing":null,"fallback_domain":"x"})"), { invalid + "member \"routing\" is null" } },
        { body(R"({"routing":true,"fallback_domain":"x"})"),
          { invalid + "member \"routing\" is boolean, not a string" } },
        { body(R"(["routing","fallback"])"), { invalid + "the top level is array, not an object" } },
        { body(""), { invalid + "not JSON" } },
        // The key from the launch link goes into the launch address as one query value.
        { byDefault, { "default x" }, { launchPage + "KEY-123_a.b~c" }, "KEY-123_a.b~c" },
        { byDefault, { "default x" }, { launchPage + "a%26b%3Dc%23d%20e%2Ff%3Fg%2Bh%25" }, "a&b=c#d e/f?g+h%" },
        { byDefault, { "default x" }, { launchPage + "caf%C3%A9" }, "caf\xc3\xa9" },
        { byDefault, { "default x" }, { launchPage + "%FF" }, "\xff" },
        { byDefault, { "default x" }, { launchPage + "a%00b" }, std::string("a\0b", 3) },
        // A transport error writes the key; an answer without body or error launches nothing.
        { { "ignored", std::nullopt, "Couldn't connect to server" }, { "KEY 1" }, { launchPage + "KEY%201" }, "KEY 1" },
        { { std::nullopt, HttpResponse { 204 }, std::nullopt }, {}, {} },
        // Only a valid web address is loaded.
        { document("fallback", "bad address"), { "fallback bad address", invalidAddress + "bad address/init" }, {} },
        { document("fallback", "javascript:x//"), { "fallback javascript:x//", notWeb + "javascript:x///init" }, {} },
        { document("fallback", "file:///etc"), { "fallback file:///etc", notWeb + "file:///etc/init" }, {} },
        { document("fallback", "resource:///r"), { "fallback resource:///r", notWeb + "resource:///r/init" }, {} },
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

TEST_F(LaunchNavigationTest, TheErrorPageShowsAtThirtySecondsWhenNothingFinished)
{
    answerStatus({ std::nullopt, std::nullopt, "Could not connect to server" });
    host.clock.advance(28.999);
    EXPECT_EQ(page().loads, Lines { launchPage });
    host.clock.advance(0.001);
    EXPECT_EQ(page().loads, (Lines { launchPage, errorPage }));
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
    EXPECT_EQ(page().pressureConfigurations, std::vector(2, PressureBehavior::primaryClick));
    host.clock.advance(600);
    EXPECT_TRUE(page().loads.empty());
}

TEST_F(LaunchNavigationTest, ALateLaunchReplacesTheErrorPageOnTheMainThread)
{
    host.clock.advance(30);
    page().finishNavigation();
    host.http.completeFetch(0, document("fallback", "https://f.test"));
    EXPECT_EQ(page().loads, Lines { errorPage });
    EXPECT_EQ(host.output.lines, Lines { "fallback https://f.test" });
    host.clock.advance(0);
    EXPECT_EQ(page().loads, (Lines { errorPage, "https://f.test/init" }));
}

TEST_F(LaunchNavigationTest, TheKeyIsTheOneStoredWhenTheStatusCheckEnds)
{
    examKey = "LATE-BUT-IN-TIME";
    answerStatus({ std::nullopt, std::nullopt, "Could not connect to server" });
    examKey = "AFTER-THE-LAUNCH";
    host.clock.advance(100);
    EXPECT_EQ(page().loads.front(), launchPage + "LATE-BUT-IN-TIME");
}

}
}
