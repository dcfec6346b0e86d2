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
    using Lines = std::vector<std::string>;
    const std::string invalid = "Invalid status document: ";
    const std::string notWeb = "Not loading an address that is not a web address: ";
    const HttpFetch byDefault = document("default", "https://f.test");
    struct Case {
        HttpFetch fetch;
        Lines lines;
        Lines loads = { launchPage };
        std::string examKey = {};
    };
    const Case cases[] = {
        { document("fallback", "https://f.test"), { "fallback https://f.test" }, { "https://f.test/init" }, "SECRET" },
        { body(R"({"fallback_domain":"https://f.test/","routing":"fallback","extra":[1,{}]})"),
          { "fallback https://f.test/" },
          { "https://f.test//init" } },
        { document("fallback", "https://f.test", 500), { "fallback https://f.test" }, { "https://f.test/init" } },
        { document("", ""), { " " } },
        { document("Fallback", "https://f.test"), { "Fallback https://f.test" } },
        { document("fallback ", "x"), { "fallback  x" } },
        { body(R"({"routing":"a\nforged line","fallback_domain":"b\r\u0085c"})"), { "a\\nforged line b\\r\\u0085c" } },
        // An invalid document says why, then launches by default.
        { body(R"({"routing":"fallback"})", 404), { invalid + "member \"fallback_domain\" is missing" } },
        { body(R"({"routing":null,"fallback_domain":"x"})"), { invalid + "member \"routing\" is null" } },
        { body(R"({"routing":true,"fallback_domain":"x"})"),
          { invalid + "member \"routing\" is boolean, not a string" } },
        { body(R"(["routing","fallback"])"), { invalid + "the top level is array, not an object" } },
        { body(""), { invalid + "not JSON" } },
        { body("<html><body><h1>404 Not Found</h1></body></html>", 404), { invalid + "not JSON" } },
        // The key from the launch link goes into the launch address as one query value.
        { byDefault, { "default https://f.test" }, { launchPage + "KEY-123_a.b~c" }, "KEY-123_a.b~c" },
        { byDefault,
          { "default https://f.test" },
          { launchPage + "a%26b%3Dc%23frag%20d%2Fe%3Ff%2Bg%25" },
          "a&b=c#frag d/e?f+g%" },
        { byDefault, { "default https://f.test" }, { launchPage + "caf%C3%A9" }, "caf\xc3\xa9" },
        { byDefault, { "default https://f.test" }, { launchPage + "%FF" }, "\xff" },
        { byDefault, { "default https://f.test" }, { launchPage + "a%00b" }, std::string("a\0b", 3) },
        // A transport error writes the key; an answer without body or error launches nothing.
        { { "ignored", std::nullopt, "Couldn't connect to server" }, { "KEY 1" }, { launchPage + "KEY%201" }, "KEY 1" },
        { { std::nullopt, HttpResponse { 204 }, std::nullopt }, {}, {} },
        // Only a valid web address is loaded.
        { document("fallback", "not an address"),
          { "fallback not an address", "Not loading an invalid address: not an address/init" },
          {} },
        { document("fallback", "javascript:alert(1)//"),
          { "fallback javascript:alert(1)//", notWeb + "javascript:alert(1)///init" },
          {} },
        { document("fallback", "file:///etc"), { "fallback file:///etc", notWeb + "file:///etc/init" }, {} },
        { document("fallback", "resource:///org/tessaro/Tessaro"),
          { "fallback resource:///org/tessaro/Tessaro", notWeb + "resource:///org/tessaro/Tessaro/init" },
          {} },
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

using StatusRoutingTest = ControllerFixture;

TEST_F(StatusRoutingTest, NothingReachesTheWebViewBeforeTheMainThreadRunsTheLaunch)
{
    host.clock.advance(1.0);
    host.http.completeFetch(0, document("x", "y"));
    EXPECT_TRUE(page().loads.empty());
    EXPECT_EQ(host.output.lines, std::vector<std::string> { "x y" });
    host.clock.runPostedWork();
    EXPECT_EQ(page().loads.size(), 1u);
}

}
}
