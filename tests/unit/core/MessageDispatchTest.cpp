#include "bridge/SecurityResponse.h"
#include "common/MessageBody.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

using nlohmann::json;
using Lines = std::vector<std::string>;

class MessageDispatchTest : public ControllerFixture {
protected:
    void post(const std::string& name, const json& body)
    {
        host.output.lines.clear();
        host.calls.clear();
        takePageCalls();
        ASSERT_TRUE(page().postMessage(name, body));
        host.clock.advance(0);
    }
};

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
        { "log", "null", { "log", "null" } },
        { "log", "true", { "log", "true" } },
        { "log", R"([1, "a"])", { "log", R"([1,"a"])" } },
        { "log", "{\"k\": \"v\\n\xc3\xa9\"}", { "log", "{\"k\":\"v\\n\xc3\xa9\"}" } },
        { "log", R"("")", { "log", "" } },
        // "processes" and "quit" take any body.
        { "processes", "null", { "processes" }, { pageCall("processes", "[]") } },
        { "processes", R"({"a": {"b": 1.5}})", { "processes" }, { pageCall("processes", "[]") } },
        // "security" answers only a dictionary of text with an exam key.
        { "security",
          R"({"examkey": "KEY123", "extra": "x"})",
          { "security" },
          { pageCall("security", securityResponse("KEY123")) } },
        { "security", R"("KEY123")", { "security" } },
        { "security", R"(["KEY123"])", { "security" } },
        { "security", R"({})", { "security" } },
        { "security", R"({"examkey": "k", "n": 1})", { "security" } },
        { "security", R"({"examkey": "k", "a": null})", { "security" } },
        { "security", R"({"examkey": "k", "a": {}})", { "security" } },
        { "security", R"({"examKey": "k"})", { "security" } },
        // "download" needs a dictionary of text with "url" and "name".
        { "download", R"("https://f.test/a")", { "download" } },
        { "download", R"({"url": "https://f.test/a"})", { "download" } },
        { "download", R"({"name": "a.txt"})", { "download" } },
        { "download", R"({"url": "https://f.test/a", "name": "a.txt", "size": 3})", { "download" } },
        { "download",
          R"({"url": "https://f.test/a", "name": "a.txt"})",
          { "download", R"({"name":"a.txt","url":"https://f.test/a"})" } },
        // "saveFile" needs a dictionary of text with "filename" and "content".
        { "saveFile", R"({"filename": "a.txt", "content": 5})", { "saveFile" } },
        { "saveFile", R"({"filename": "a.txt"})", { "saveFile", needsBoth } },
        { "saveFile", R"({"content": "x"})", { "saveFile", needsBoth } },
        { "quit", R"({"examkey": "k"})", { "quit" } },
    };
    for (const auto& [name, body, lines, pageCalls] : cases) {
        post(name, json::parse(body));
        EXPECT_EQ(host.output.lines, lines) << body;
        EXPECT_EQ(takePageCalls(), pageCalls) << body;
    }
    EXPECT_EQ(host.calls, (CallLog { "line quit", "pasteboard.clearContents", "application.terminate" }));
    EXPECT_EQ(host.http.downloads.size(), 1u);
    EXPECT_TRUE(host.disk.written.empty());
}

TEST(MessageBody, DeepOrBrokenBodiesArriveAsNull)
{
    EXPECT_EQ(messageBodyFromJSON(R"({"a":["b",1]})"), (json { { "a", { "b", 1 } } }));
    EXPECT_EQ(messageBodyFromJSON(R"("[[[[ inside a string")"), json("[[[[ inside a string"));
    const auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    const std::pair<std::string, bool> cases[] = {
        { "", false },
        { "{broken", false },
        { nested(256), true },
        { nested(257), false },
        { "[" + nested(255) + "," + nested(255) + "]", true },
        { "{\"a\":" + nested(255) + ",\"b\":" + nested(255) + "}", true },
        { R"(["s\"[",)" + nested(255) + "]", true },
        { R"(["s",)" + nested(256) + "]", false },
        { nested(100000), false },
    };
    for (const auto& [text, arrives] : cases)
        EXPECT_EQ(messageBodyFromJSON(text).is_null(), !arrives) << text.substr(0, 12);
}

}
}
