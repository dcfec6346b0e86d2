#include <algorithm>
#include <iterator>

#include <gtest/gtest.h>

#include "bridge/RunningApplicationReport.h"
#include "bridge/SecurityConstants.h"
#include "bridge/SecurityResponse.h"
#include "common/MessageBody.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

using nlohmann::json;

using MessageDispatchTest = ControllerFixture;

TEST_F(MessageDispatchTest, EachMessageWritesItsNameThenTakesOnlyTheBodyItNeeds)
{
    const std::string needsBoth = "saveFile ignored: the message needs both \"filename\" and \"content\"";
    struct Case {
        std::string name;
        std::string body;
        Lines lines;
        Lines pageCalls = {};
    };
    const Case cases[] = {
        // "log" writes the body's text form as one line.
        { "log", R"("hello from the exam page")", { "log", "hello from the exam page" } },
        { "log", R"("two\nlines\r\tand \u001b[31mcolour")", { "log", "two\\nlines\\r\\tand \\x1b[31mcolour" } },
        { "log", "{\"k\": \"v\\n\xc3\xa9\"}", { "log", "{\"k\":\"v\\n\xc3\xa9\"}" } },
        // "processes" and "quit" take any body.
        { "processes", R"({"a": {"b": 1.5}})", { "processes" }, { pageCall("processes", "[]") } },
        // "security" answers only a dictionary of text with an exam key.
        { "security",
          R"({"examkey": "KEY123", "extra": "x"})",
          { "security" },
          { pageCall("security", securityResponse("KEY123")) } },
        { "security", R"("KEY123")", { "security" } },
        { "security", R"({"examkey": "k", "n": 1})", { "security" } },
        // "download" needs a dictionary of text with "url" and "name".
        { "download", R"({"url": "https://f.test/a"})", { "download" } },
        { "download",
          R"({"url": "https://f.test/a", "name": "a.txt"})",
          { "download", R"({"name":"a.txt","url":"https://f.test/a"})" } },
        // "saveFile" needs a dictionary of text with "filename" and "content".
        { "saveFile", R"({"filename": "a.txt", "content": 5})", { "saveFile" } },
        { "saveFile", R"({"filename": "a.txt"})", { "saveFile", needsBoth } },
        { "quit", R"({"examkey": "k"})", { "quit" } },
    };
    for (const auto& [name, body, lines, pageCalls] : cases) {
        host.output.lines.clear();
        host.calls.clear();
        ASSERT_TRUE(page().postMessage(name, json::parse(body)));
        host.clock.advance(0);
        EXPECT_EQ(host.output.lines, lines) << body;
        EXPECT_EQ(takePageCalls(), pageCalls) << body;
    }
    EXPECT_EQ(host.calls, (CallLog { "line quit", "pasteboard.clearContents", "application.terminate" }));
    EXPECT_EQ(host.http.downloads.size(), 1u);
    EXPECT_TRUE(host.disk.written.empty());
    EXPECT_EQ(page().handlerNames, (Lines { "saveFile", "security", "log", "quit", "download", "processes" }));
}

TEST(MessageBody, DeepOrBrokenBodiesArriveAsNull)
{
    EXPECT_EQ(messageBodyFromJSON(R"({"a":["b",1]})"), (json { { "a", { "b", 1 } } }));
    const auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    const std::pair<std::string, bool> cases[] = {
        { "", false },
        { nested(256), true },
        { nested(257), false },
        { "[" + nested(255) + "," + nested(255) + "]", true },
        { R"(["s\"[[[[",)" + nested(255) + "]", true },
        { R"(["s",)" + nested(256) + "]", false },
        { nested(100000), false },
    };
    for (const auto& [text, arrives] : cases)
        EXPECT_EQ(messageBodyFromJSON(text).is_null(), !arrives) << text.substr(0, 12);
}

TEST(RunningApplicationReport, IsCompactJsonOfPairsAndEmptyRecords)
{
    const std::vector<RunningApplication> applications {
        ApplicationData { "org.gnome.Nautilus", "Files" },
        runningApplication(std::nullopt, "bash"),
        runningApplication("id-only", std::nullopt),
        ApplicationData { "quote", "say \"hi\" it's" },
        ApplicationData { "bad", "x\xffy" },
    };
    EXPECT_EQ(runningApplicationsJSON(applications),
              "[[\"org.gnome.Nautilus\",\"Files\"],[],[],[\"quote\",\"say \\\"hi\\\" it's\"],"
              "[\"bad\",\"x\xef\xbf\xbdy\"]]");
}

using MessageOrderTest = ControllerFixture;

TEST_F(MessageOrderTest, AnswersFollowThePostsAndPostsDuringAScanShareTheNext)
{
    // The page posts p "processes", s "security", f "saveFile", l "log", d "download" (its
    // transfer never ends here); c: the applications change; t: half a scan's time passes.
    // Then the answers in order: a digit for "processes" (the version of the list it
    // carries), s and f for the next "security" and "saveFile" post's own answer; and how
    // many scans ran. Posts of "processes" next in line share one scan.
    const std::tuple<std::string, std::string, std::size_t> cases[] = {
        { "p", "0", 1 },
        { "pcp", "01", 2 },
        { "pcppcp", "0222", 2 },
        { "ptcpttp", "011", 3 },
        { "pttcttp", "01", 2 },
        { std::string(251, 'p') + "c", "0" + std::string(250, '1'), 2 },
        { "ps", "0s", 1 },
        { "pcsp", "0s1", 2 },
        { "pspsp", "0s0s0", 3 },
        { "pflsd", "0fs", 1 },
        { "pdps", "00s", 2 },
        { "p" + std::string(150, 's') + "flp" + std::string(100, 's'),
          "0" + std::string(150, 's') + "f0" + std::string(100, 's'), 2 },
    };
    const auto listOfVersion = [](char version) {
        return std::vector<RunningApplication> { ApplicationData { "list", std::string(1, version) } };
    };
    host.scanSeconds = 1;
    for (const auto& [events, answered, scans] : cases) {
        host.calls.clear();
        char version = '0';
        host.applications.applications = listOfVersion(version);
        int securityPosts = 0;
        int savePosts = 0;
        for (const char event : events) {
            if (event == 'p')
                page().postMessage("processes", json());
            if (event == 's')
                page().postMessage("security", json { { "examkey", "K" + std::to_string(++securityPosts) } });
            if (event == 'f') {
                const std::string name = std::to_string(++savePosts) + ".txt";
                page().postMessage("saveFile", json { { "filename", name }, { "content", "x" } });
            }
            if (event == 'l')
                page().postMessage("log", json("note"));
            if (event == 'd')
                page().postMessage("download", json { { "url", "https://f.test/a" }, { "name", "a.txt" } });
            if (event == 'c')
                host.applications.applications = listOfVersion(++version);
            if (event == 't')
                host.clock.advance(0.5);
        }
        host.clock.advance(10);
        int securityAnswers = 0;
        int saveAnswers = 0;
        const auto expectedCall = [&](char answer) {
            if (answer == 's')
                return pageCall("security", securityResponse("K" + std::to_string(++securityAnswers)));
            if (answer == 'f') {
                const std::string name = std::to_string(++saveAnswers) + ".txt";
                return pageCall("fileSaved", "file:///home/student/Downloads/" + name);
            }
            return pageCall("processes", runningApplicationsJSON(listOfVersion(answer)));
        };
        std::vector<std::string> expected;
        std::ranges::transform(answered, std::back_inserter(expected), expectedCall);
        EXPECT_EQ(takePageCalls(), expected) << events;
        EXPECT_EQ(host.timesCalled("timers.schedule 1 once"), scans) << events;
        EXPECT_EQ(host.timesCalled("line note"), static_cast<std::size_t>(std::ranges::count(events, 'l'))) << events;
    }
}

TEST_F(MessageOrderTest, AQuitBehindAReportQuitsOnceTheReportIsAnswered)
{
    host.scanSeconds = 1;
    page().postMessage("processes", json());
    page().postMessage("quit", json());
    host.clock.advance(0.5);
    EXPECT_EQ(host.timesCalled("application.terminate"), 0u);
    host.clock.advance(0.5);
    EXPECT_EQ(takePageCalls(), Lines { pageCall("processes", "[]") });
    EXPECT_EQ(host.timesCalled("application.terminate"), 1u);
}

TEST(SecurityResponse, IsTheChainedDigestForTheDevelopmentConstants)
{
    if (securityConstantMessage() != "devMessage00001" || securityConstantKey() != "devKey000000001")
        GTEST_SKIP() << "built with the service's own constants";
    // Worked out independently of this code.
    const std::pair<std::string, std::string> cases[] = {
        { "", "dbc14995c8b9eecf36fef3f05bcbb7cdaff6003121c4cd4bbe48b2d0d6cd7e36" },
        { "KEY123", "7c64ef4e693be09fbd1324bc122d926f2789b7d4c10797aea50438b12aae633e" },
    };
    for (const auto& [examKey, answer] : cases)
        EXPECT_EQ(securityResponse(examKey), answer);
}

}
}
