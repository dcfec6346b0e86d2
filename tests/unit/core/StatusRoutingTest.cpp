#include "tests/support/ControllerFixture.h"
#include "web/StatusResponse.h"

namespace tessaro::testing {
namespace {

struct StatusOutcome {
    std::vector<std::string> lines;
    std::vector<std::string> loads;
};

// One whole launch on a fresh host, the status check ending with this outcome. The
// controller keeps the key by reference, so it must outlive the controller.
StatusOutcome runStatusCheck(HttpFetch fetch, const std::string examKey = {})
{
    FakeHost host;
    ViewController controller(host, testEndpoints, examKey);
    controller.loadView(host.window);
    host.clock.advance(1.0);
    host.http.completeFetch(0, std::move(fetch));
    host.clock.runPostedWork();
    return { host.output.lines, host.webView->loads };
}

HttpFetch body(std::string text, long status = 200)
{
    return { std::move(text), HttpResponse { status }, std::nullopt };
}

const std::string defaultLaunch = testEndpoints.launchPageURL + "?examkey=";

class StatusRoutingTest : public ControllerFixture {
protected:
    // Runs the status check with this outcome; returns the loads that followed.
    std::vector<std::string> answerStatus(HttpFetch fetch)
    {
        loadView();
        host.clock.advance(1.0);
        EXPECT_EQ(host.http.fetches.size(), 1u);
        host.http.completeFetch(0, std::move(fetch));
        host.clock.runPostedWork();
        return page().loads;
    }
};

TEST(StatusRouting, TheStatusDocumentDecidesWhereTheExamStarts)
{
    struct Case {
        std::string body;
        long status;
        std::string expectedLine;
        std::string expectedLoad;
    };
    const std::vector<Case> cases {
        { R"({"routing":"fallback","fallback_domain":"https://fallback.test"})", 200, "fallback https://fallback.test",
          "https://fallback.test/init" },
        { R"({"fallback_domain":"https://fb.test/base/","routing":"fallback","extra":[1,{}]})", 200,
          "fallback https://fb.test/base/", "https://fb.test/base//init" },
        { R"({"routing":"default","fallback_domain":"https://fallback.test"})", 200, "default https://fallback.test",
          defaultLaunch },
        { R"({"routing":"","fallback_domain":""})", 200, " ", defaultLaunch },
        { R"({"routing":"Fallback","fallback_domain":"https://f.test"})", 200, "Fallback https://f.test",
          defaultLaunch },
        { R"({"routing":" fallback","fallback_domain":"https://f.test"})", 200, " fallback https://f.test",
          defaultLaunch },
        { R"({"routing":"fallback ","fallback_domain":"https://f.test"})", 200, "fallback  https://f.test",
          defaultLaunch },
        { R"({"routing":"fallback","fallback_domain":"https://f.test"})", 500, "fallback https://f.test",
          "https://f.test/init" },
    };
    for (const auto& testCase : cases) {
        const auto outcome = runStatusCheck(body(testCase.body, testCase.status));
        EXPECT_EQ(outcome.lines, std::vector<std::string> { testCase.expectedLine }) << testCase.body;
        EXPECT_EQ(outcome.loads, std::vector<std::string> { testCase.expectedLoad }) << testCase.body;
    }
}

TEST(StatusRouting, AnInvalidDocumentEndsInTheDefaultLaunch)
{
    struct Case {
        std::string body;
        std::string expectedLine;
    };
    const std::vector<Case> cases {
        { R"({"routing":"fallback"})", "Invalid status document: member \"fallback_domain\" is missing" },
        { R"({"fallback_domain":"https://f.test"})", "Invalid status document: member \"routing\" is missing" },
        { R"({"routing":null,"fallback_domain":"x"})", "Invalid status document: member \"routing\" is null" },
        { R"({"routing":true,"fallback_domain":"x"})",
          "Invalid status document: member \"routing\" is boolean, not a string" },
        { R"({"routing":"fallback","fallback_domain":7})",
          "Invalid status document: member \"fallback_domain\" is number, not a string" },
        { R"(["routing","fallback"])", "Invalid status document: the top level is array, not an object" },
        { R"("fallback")", "Invalid status document: the top level is string, not an object" },
        { "", "Invalid status document: not JSON" },
        { "<html><body><h1>404 Not Found</h1></body></html>", "Invalid status document: not JSON" },
        { "{\"routing\":\"fallback\",", "Invalid status document: not JSON" },
    };
    for (const auto& testCase : cases) {
        const auto outcome = runStatusCheck(body(testCase.body, 404));
        EXPECT_EQ(outcome.lines, std::vector<std::string> { testCase.expectedLine }) << testCase.body;
        EXPECT_EQ(outcome.loads, std::vector<std::string> { defaultLaunch }) << testCase.body;
    }
}

TEST(StatusRouting, AKeyOfAnyBytesStillLaunchesTheExam)
{
    const std::vector<std::pair<std::string, std::string>> cases {
        { "\xff", "%FF" },
        { std::string("a\0b", 3), "a%00b" },
        { "\x03\xdd", "%03%DD" },
        { "caf\xc3\xa9", "caf%C3%A9" },
    };
    for (const auto& [key, encoded] : cases) {
        const auto outcome = runStatusCheck(body(R"({"routing":"default","fallback_domain":"https://f.test"})"), key);
        EXPECT_EQ(outcome.loads, std::vector<std::string> { defaultLaunch + encoded }) << encoded;
    }
}

TEST_F(StatusRoutingTest, ATransportErrorWritesTheExamKeyThenLaunchesTheDefault)
{
    examKey = "KEY 1";
    const auto loads = answerStatus({ "ignored body", std::nullopt, "Couldn't connect to server" });
    EXPECT_EQ(host.output.lines, std::vector<std::string> { "KEY 1" });
    EXPECT_EQ(loads, std::vector<std::string> { defaultLaunch + "KEY%201" });
}

TEST_F(StatusRoutingTest, AnAnswerWithoutBodyOrErrorLaunchesNothing)
{
    const auto loads = answerStatus({ std::nullopt, HttpResponse { 204 }, std::nullopt });
    EXPECT_TRUE(loads.empty());
    EXPECT_TRUE(host.output.lines.empty());
    host.clock.advance(29);
    EXPECT_EQ(page().loads, std::vector<std::string> { "resource:///org/tessaro/Tessaro/error.html" });
}

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

TEST_F(StatusRoutingTest, DiagnosticLinesFromTheNetworkStayOneLine)
{
    answerStatus(body(R"({"routing":"a\nforged line","fallback_domain":"b\r\u0085c"})"));
    EXPECT_EQ(host.output.lines, std::vector<std::string> { "a\\nforged line b\\r\\u0085c" });
}

TEST(StatusResponseDecoding, TheMembersAreReadUnderTheirDocumentNames)
{
    const auto decoded = decodeResponse(R"({"routing":"fallback","fallback_domain":"https://f.test","x":null})");
    ASSERT_TRUE(std::holds_alternative<Response>(decoded));
    EXPECT_EQ(std::get<Response>(decoded).fallbackDomain, "https://f.test");
}

}
}
