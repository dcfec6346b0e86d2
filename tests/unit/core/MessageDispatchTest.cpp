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

TEST_F(MessageDispatchTest, EveryMessageFirstWritesItsNameAndProcessesAndQuitIgnoreTheirBody)
{
    const auto everyKindOfBody
        = json::parse(R"([null, "text", 42, 1.5, true, ["a", "b"], {}, {"examkey": "k", "n": 1}, {"a": {"b": "c"}}])");
    for (const auto name : ViewController::scriptMessageNames) {
        for (const auto& body : everyKindOfBody) {
            post(std::string(name), body);
            SCOPED_TRACE(std::string(name) + " " + body.dump());
            EXPECT_EQ(host.output.lines.front(), name);
            EXPECT_EQ(takePageCalls(), name == "processes" ? Lines { pageCall("processes", "[]") } : Lines {});
            if (name == "quit")
                EXPECT_EQ(host.calls, (CallLog { "line quit", "pasteboard.clearContents", "application.terminate" }));
            else
                EXPECT_EQ(host.timesCalled("application.terminate"), 0u);
        }
    }
}

TEST_F(MessageDispatchTest, EachMessageTakesOnlyTheBodyItNeeds)
{
    struct Case {
        std::string name;
        json body;
        Lines lines;
        Lines pageCalls = {};
    };
    const Case cases[] = {
        // "log" writes the body's text form as one line.
        { "log", "hello from the exam page", { "log", "hello from the exam page" } },
        { "log", "two\nlines\r\tand \x1b[31mcolour", { "log", "two\\nlines\\r\\tand \\x1b[31mcolour" } },
        { "log", nullptr, { "log", "null" } },
        { "log", 42, { "log", "42" } },
        { "log", true, { "log", "true" } },
        { "log", json::array({ 1, "a" }), { "log", "[1,\"a\"]" } },
        { "log", { { "k", "v\n\xc3\xa9" } }, { "log", "{\"k\":\"v\\n\xc3\xa9\"}" } },
        { "log", "", { "log", "" } },
        // "security" answers only a dictionary of text with an exam key.
        { "security",
          { { "examkey", "KEY123" }, { "extra", "ignored" } },
          { "security" },
          { pageCall("security", securityResponse("KEY123")) } },
        { "security", "KEY123", { "security" } },
        { "security", json::array({ "KEY123" }), { "security" } },
        { "security", json::object(), { "security" } },
        { "security", { { "examkey", "k" }, { "n", 1 } }, { "security" } },
        { "security", { { "examkey", "k" }, { "a", nullptr } }, { "security" } },
        { "security", { { "examkey", "k" }, { "a", json::object() } }, { "security" } },
        { "security", { { "examkey", 5 } }, { "security" } },
        { "security", { { "examKey", "k" } }, { "security" } },
        // "download" needs a dictionary of text with "url" and "name".
        { "download", "https://f.test/a", { "download" } },
        { "download", { { "url", "https://f.test/a" } }, { "download" } },
        { "download", { { "name", "a.txt" } }, { "download" } },
        { "download", { { "url", "https://f.test/a" }, { "name", "a.txt" }, { "size", 3 } }, { "download" } },
        { "download",
          { { "url", "https://f.test/a" }, { "name", "a.txt" } },
          { "download", R"({"name":"a.txt","url":"https://f.test/a"})" } },
        // "saveFile" needs a dictionary of text with "filename" and "content".
        { "saveFile", { { "filename", "a.txt" }, { "content", 5 } }, { "saveFile" } },
        { "saveFile",
          { { "filename", "a.txt" } },
          { "saveFile", "saveFile ignored: the message needs both \"filename\" and \"content\"" } },
        { "saveFile",
          { { "content", "x" } },
          { "saveFile", "saveFile ignored: the message needs both \"filename\" and \"content\"" } },
    };
    for (const auto& [name, body, lines, pageCalls] : cases) {
        post(name, body);
        EXPECT_EQ(host.output.lines, lines) << body.dump();
        EXPECT_EQ(takePageCalls(), pageCalls) << body.dump();
    }
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
