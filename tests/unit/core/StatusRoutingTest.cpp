#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

HttpFetch body(std::string text, long status = 200)
{
    return { std::move(text), HttpResponse { status }, std::nullopt };
}

TEST(StatusRouting, TheStatusDocumentDecidesWhereTheExamStarts)
{
    using Lines = std::vector<std::string>;
    const std::string invalid = "Invalid status document: ";
    const std::string notWeb = "Not loading an address that is not a web address: ";
    const HttpFetch byDefault = body(R"({"routing":"default","fallback_domain":"https://f.test"})");
    struct Case {
        HttpFetch fetch;
        Lines lines;
        Lines loads;
        std::string examKey = {};
    };
    const Case cases[] = {
        { body(R"({"routing":"fallback","fallback_domain":"https://f.test"})"),
          { "fallback https://f.test" },
          { "https://f.test/init" },
          "SECRET" },
        { body(R"({"fallback_domain":"https://fb.test/base/","routing":"fallback","extra":[1,{}]})"),
          { "fallback https://fb.test/base/" },
          { "https://fb.test/base//init" } },
        { body(R"({"routing":"fallback","fallback_domain":"https://f.test"})", 500),
          { "fallback https://f.test" },
          { "https://f.test/init" } },
        { body(R"({"routing":"","fallback_domain":""})"), { " " }, { launchPage } },
        { body(R"({"routing":"Fallback","fallback_domain":"https://f.test"})"),
          { "Fallback https://f.test" },
          { launchPage } },
        { body(R"({"routing":" fallback","fallback_domain":"x"})"), { " fallback x" }, { launchPage } },
        { body(R"({"routing":"fallback ","fallback_domain":"x"})"), { "fallback  x" }, { launchPage } },
        { body(R"({"routing":"a\nforged line","fallback_domain":"b\r\u0085c"})"),
          { "a\\nforged line b\\r\\u0085c" },
          { launchPage } },
        { body(R"({"routing":"fallback"})", 404),
          { invalid + "member \"fallback_domain\" is missing" },
          { launchPage } },
        { body(R"({"fallback_domain":"https://f.test"})"),
          { invalid + "member \"routing\" is missing" },
          { launchPage } },
        { body(R"({"routing":null,"fallback_domain":"x"})"),
          { invalid + "member \"routing\" is null" },
          { launchPage } },
        { body(R"({"routing":true,"fallback_domain":"x"})"),
          { invalid + "member \"routing\" is boolean, not a string" },
          { launchPage } },
        { body(R"({"routing":"fallback","fallback_domain":7})"),
          { invalid + "member \"fallback_domain\" is number, not a string" },
          { launchPage } },
        { body(R"(["routing","fallback"])"), { invalid + "the top level is array, not an object" }, { launchPage } },
        { body(R"("fallback")"), { invalid + "the top level is string, not an object" }, { launchPage } },
        { body(""), { invalid + "not JSON" }, { launchPage } },
        { body("<html><body><h1>404 Not Found</h1></body></html>", 404), { invalid + "not JSON" }, { launchPage } },
        { body("{\"routing\":\"fallback\","), { invalid + "not JSON" }, { launchPage } },
        // The key from the launch link goes into the launch address as one query value.
        { byDefault, { "default https://f.test" }, { launchPage + "KEY-123_a.b~c" }, "KEY-123_a.b~c" },
        { byDefault,
          { "default https://f.test" },
          { launchPage + "a%26b%3Dc%23frag%20d%2Fe%3Ff%2Bg%25" },
          "a&b=c#frag d/e?f+g%" },
        { byDefault, { "default https://f.test" }, { launchPage + "caf%C3%A9" }, "caf\xc3\xa9" },
        { byDefault, { "default https://f.test" }, { launchPage + "%FF" }, "\xff" },
        { byDefault, { "default https://f.test" }, { launchPage + "a%00b" }, std::string("a\0b", 3) },
        { byDefault, { "default https://f.test" }, { launchPage + "%03%DD" }, "\x03\xdd" },
        // A transport error writes the key; an answer without body or error launches nothing.
        { { "ignored body", std::nullopt, "Couldn't connect to server" },
          { "KEY 1" },
          { launchPage + "KEY%201" },
          "KEY 1" },
        { { std::nullopt, HttpResponse { 204 }, std::nullopt }, {}, {} },
        // Only a valid web address is loaded.
        { body(R"({"routing":"fallback","fallback_domain":"not an address"})"),
          { "fallback not an address", "Not loading an invalid address: not an address/init" },
          {} },
        { body(R"({"routing":"fallback","fallback_domain":"javascript:alert(1)//"})"),
          { "fallback javascript:alert(1)//", notWeb + "javascript:alert(1)///init" },
          {} },
        { body(R"({"routing":"fallback","fallback_domain":"file:///etc"})"),
          { "fallback file:///etc", notWeb + "file:///etc/init" },
          {} },
        { body(R"({"routing":"fallback","fallback_domain":"resource:///org/tessaro/Tessaro"})"),
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
    loadView();
    host.clock.advance(1.0);
    host.http.completeFetch(0, body(R"({"routing":"x","fallback_domain":"y"})"));
    EXPECT_TRUE(page().loads.empty());
    EXPECT_EQ(host.output.lines, std::vector<std::string> { "x y" });
    host.clock.runPostedWork();
    EXPECT_EQ(page().loads.size(), 1u);
}

}
}
