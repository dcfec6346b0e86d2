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
    host.clock.advance(28.999);
    EXPECT_EQ(page().loads, launch);
    host.clock.advance(0.001);
    EXPECT_EQ(page().loads, (Lines { launch[0], host.errorPageAddress() }));
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
    host.http.fetches.at(0).completion(document("fallback", "https://f.test"));
    EXPECT_EQ(page().loads, Lines { host.errorPageAddress() });
    EXPECT_EQ(host.output.lines, Lines { "fallback https://f.test" });
    host.clock.advance(0);
    EXPECT_EQ(page().loads, (Lines { host.errorPageAddress(), "https://f.test/init" }));
}

}
}
