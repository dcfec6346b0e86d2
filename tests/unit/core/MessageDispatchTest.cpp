#include "bridge/CommandDictionary.h"
#include "bridge/SecurityResponse.h"
#include "common/MessageBody.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

using nlohmann::json;

// Bodies of every kind a page can post.
const std::vector<json> everyKindOfBody {
    nullptr,
    "text",
    42,
    1.5,
    true,
    json::array({ "a", "b" }),
    json::object(),
    { { "examkey", "k" }, { "n", 1 } },
    { { "nested", { { "a", "b" } } } },
};

class MessageDispatchTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        loadView();
        host.calls.clear();
    }

    void post(const std::string& name, const json& body)
    {
        host.output.lines.clear();
        takePageCalls();
        ASSERT_TRUE(page().postMessage(name, body));
    }
};

TEST_F(MessageDispatchTest, EveryMessageFirstWritesItsName)
{
    for (const auto name : { "saveFile", "security", "log", "download", "processes" }) {
        for (const auto& body : everyKindOfBody) {
            post(name, body);
            ASSERT_FALSE(host.output.lines.empty());
            EXPECT_EQ(host.output.lines.front(), name) << body.dump();
        }
    }
}

TEST_F(MessageDispatchTest, LogWritesTheBodysTextFormAsOneLine)
{
    const std::vector<std::pair<json, std::string>> cases {
        { "hello from the exam page", "hello from the exam page" },
        { "two\nlines\r\tand \x1b[31mcolour", "two\\nlines\\r\\tand \\x1b[31mcolour" },
        { nullptr, "null" },
        { 42, "42" },
        { true, "true" },
        { json::array({ 1, "a" }), "[1,\"a\"]" },
        { { { "k", "v\n" } }, "{\"k\":\"v\\n\"}" },
        { "", "" },
    };
    for (const auto& [body, line] : cases) {
        post("log", body);
        EXPECT_EQ(host.output.lines, (std::vector<std::string> { "log", line })) << body.dump();
    }
}

TEST_F(MessageDispatchTest, ProcessesAndQuitIgnoreTheirBody)
{
    for (const auto& body : everyKindOfBody) {
        post("processes", body);
        host.clock.advance(0);
        EXPECT_EQ(takePageCalls(), std::vector<std::string> { pageCall("processes", "[]") }) << body.dump();
    }
    for (const auto& body : everyKindOfBody) {
        host.calls.clear();
        post("quit", body);
        EXPECT_EQ(host.calls.entries(),
                  (std::vector<std::string> { "line quit", "pasteboard.clearContents", "application.terminate" }))
            << body.dump();
    }
}

TEST_F(MessageDispatchTest, SecurityAnswersOnlyATextDictionaryWithAnExamKey)
{
    post("security", { { "examkey", "KEY123" }, { "extra", "ignored" } });
    EXPECT_EQ(takePageCalls(), std::vector<std::string> { pageCall("security", securityResponse("KEY123")) });

    for (const json& body :
         { json(nullptr), json("KEY123"), json::array({ "KEY123" }), json::object(),
           json { { "examkey", "k" }, { "n", 1 } }, json { { "examkey", 5 } }, json { { "examKey", "k" } } }) {
        post("security", body);
        EXPECT_TRUE(takePageCalls().empty()) << body.dump();
        EXPECT_EQ(host.output.lines, std::vector<std::string> { "security" }) << body.dump();
    }
}

TEST_F(MessageDispatchTest, DownloadNeedsATextDictionaryWithUrlAndName)
{
    for (const json& body :
         { json("https://f.test/a"), json::object(), json { { "url", "https://f.test/a" } },
           json { { "name", "a.txt" } }, json { { "url", "https://f.test/a" }, { "name", "a.txt" }, { "size", 3 } } }) {
        post("download", body);
        EXPECT_EQ(host.output.lines, std::vector<std::string> { "download" }) << body.dump();
        EXPECT_TRUE(host.http.downloads.empty()) << body.dump();
    }
    post("download", { { "url", "https://f.test/a" }, { "name", "a.txt" } });
    EXPECT_EQ(host.output.lines,
              (std::vector<std::string> { "download", R"({"name":"a.txt","url":"https://f.test/a"})" }));
    ASSERT_EQ(host.http.downloads.size(), 1u);
    EXPECT_EQ(host.http.downloads[0].address, "https://f.test/a");
}

TEST_F(MessageDispatchTest, SaveFileIgnoresABodyThatIsNotAllText)
{
    post("saveFile", { { "filename", "a.txt" }, { "content", 5 } });
    EXPECT_TRUE(host.disk.written.empty());
    EXPECT_EQ(host.output.lines, std::vector<std::string> { "saveFile" });
}

TEST(CommandDictionary, ConvertsAllOrNothing)
{
    EXPECT_EQ(commandDictionary(json::object()), CommandDictionary {});
    EXPECT_EQ(commandDictionary({ { "a", "1" }, { "b", "" } }), (CommandDictionary { { "a", "1" }, { "b", "" } }));
    for (const json& body : { json(nullptr), json("text"), json(3), json(false), json::array(), json::array({ "a" }),
                              json { { "a", "1" }, { "b", 2 } }, json { { "a", nullptr } }, json { { "a", true } },
                              json { { "a", json::object() } }, json { { "a", json::array() } } })
        EXPECT_FALSE(commandDictionary(json(body)).has_value()) << body.dump();
}

}
}

namespace tessaro::testing {
namespace {

TEST(MessageBody, DeepOrBrokenBodiesArriveAsNull)
{
    EXPECT_EQ(messageBodyFromJSON(R"({"a":["b",1]})"), (nlohmann::json { { "a", { "b", 1 } } }));
    EXPECT_EQ(messageBodyFromJSON(R"("[[[[ inside a string")"), nlohmann::json("[[[[ inside a string"));
    EXPECT_TRUE(messageBodyFromJSON("").is_null());
    EXPECT_TRUE(messageBodyFromJSON("{broken").is_null());
    const std::string shallow = std::string(256, '[') + std::string(256, ']');
    EXPECT_TRUE(messageBodyFromJSON(shallow).is_array());
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_TRUE(messageBodyFromJSON(deep).is_null());
}

}
}
