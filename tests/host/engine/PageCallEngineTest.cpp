#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jsc/jsc.h>

#include "common/MessageBody.h"
#include "platform/glib/GLibOwners.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/ScriptMessageBody.h"
#include "tests/host/engine/PageCallEngine.h"
#include "web/PageCall.h"

namespace tessaro::testing {
namespace {

using namespace std::string_literals;

// Every name the program calls the page with, and names no escaping may upset either.
const std::vector<std::string> pageMessageNames {
    "security", "processes", "fileSaved", "downloaded", "battery", "it's", "back\\slash", "two\nlines",
};

// Pieces of text that end, break or bend a string literal in some engine, next to
// harmless ones; all valid UTF-8.
const std::vector<std::string> trickyPieces {
    "'",
    "\"",
    "`",
    "\\",
    "\\\\",
    "\\'",
    "\\\"",
    "\\x",
    "\\u",
    "\\u{",
    "\\0",
    "\n",
    "\r",
    "\r\n",
    "\t",
    "\0"s,
    "\x1b",
    "\x7f",
    "\u2028",
    "\u2029",
    "\u0085",
    "\u00a0",
    "\ufeff",
    "\u200b",
    "\u202e",
    "\uffff",
    "\U0010ffff",
    "\u00e9",
    "e\u0301",
    "\u4e2d\u6587",
    "\U0001f600",
    "\U0001f469\u200d\U0001f469\u200d\U0001f467",
    "</script>",
    "<!--",
    "-->",
    "*/",
    "${",
    "');",
    "'); window.K$ = null; ('",
    "a",
    "Z",
    "0",
    " ",
    "{}",
    "[]",
};

class PageCallEngineTest : public ::testing::Test {
protected:
    ::testing::AssertionResult delivered(const std::string& name, const PagePayload& payload, const std::string& text)
    {
        const auto fault = engine.deliveryFault(composePageCall(name, payload), name, text);
        if (!fault)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << *fault;
    }

    ::testing::AssertionResult textDelivered(const std::string& text)
    {
        for (const auto& name : pageMessageNames) {
            if (auto result = delivered(name, text, text); !result)
                return result << " (name \"" << name << "\")";
        }
        return ::testing::AssertionSuccess();
    }

public:
    PageCallEngine engine;
};

TEST_F(PageCallEngineTest, EveryKindOfPayloadArrivesAsItsText)
{
    const std::vector<std::pair<PagePayload, std::string>> cases {
        { true, "true" },
        { false, "false" },
        { 0.57f, "0.57" },
        { 57.0f / 100.0f, "0.57" },
        { 1.0f, "1.0" },
        { 0.0f, "0.0" },
        { "file:///home/student/Downloads/a%20b.txt"s, "file:///home/student/Downloads/a%20b.txt" },
        { R"([["org.gnome.Terminal","gnome-terminal-"],[]])"s, R"([["org.gnome.Terminal","gnome-terminal-"],[]])" },
        { ""s, "" },
    };
    for (const auto& [payload, text] : cases)
        EXPECT_TRUE(delivered("battery", payload, text)) << text;
}

TEST_F(PageCallEngineTest, TextThatEndsOrBreaksALiteralArrivesExactly)
{
    for (const auto& piece : trickyPieces) {
        EXPECT_TRUE(textDelivered(piece)) << piece;
        EXPECT_TRUE(textDelivered("before" + piece + "after")) << piece;
        EXPECT_TRUE(textDelivered(piece + piece + piece)) << piece;
    }
}

TEST_F(PageCallEngineTest, EveryControlCharacterArrivesExactly)
{
    std::vector<std::string> controls;
    for (int c = 0; c < 0x20; ++c)
        controls.emplace_back(1, static_cast<char>(c));
    controls.emplace_back("\x7f");
    for (int c = 0x80; c < 0xa0; ++c)
        controls.push_back("\xc2"s + static_cast<char>(c));
    for (const auto& control : controls) {
        EXPECT_TRUE(textDelivered(control)) << static_cast<int>(control.back());
        EXPECT_TRUE(textDelivered("a" + control + "b" + control)) << static_cast<int>(control.back());
    }
}

TEST_F(PageCallEngineTest, LongRunsOfBackslashesAndQuotesArriveExactly)
{
    for (const std::size_t count : { 1, 2, 3, 4, 255, 256, 4095, 4096, 65537 }) {
        EXPECT_TRUE(textDelivered(std::string(count, '\\'))) << count;
        EXPECT_TRUE(textDelivered(std::string(count, '\''))) << count;
        EXPECT_TRUE(textDelivered(std::string(count, '\\') + "'" + std::string(count, '\\'))) << count;
        std::string alternating;
        for (std::size_t i = 0; i < count; ++i)
            alternating += i % 2 ? "'" : "\\";
        EXPECT_TRUE(textDelivered(alternating)) << count;
    }
}

TEST_F(PageCallEngineTest, RandomMixesArriveExactly)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pieceIndex(0, trickyPieces.size() - 1);
    std::uniform_int_distribution<int> pieceCount(0, 40);
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        for (int n = pieceCount(random); n > 0; --n)
            text += trickyPieces[pieceIndex(random)];
        const auto& name = pageMessageNames[static_cast<std::size_t>(i) % pageMessageNames.size()];
        ASSERT_TRUE(delivered(name, text, text)) << "mix " << i;
    }
}

TEST_F(PageCallEngineTest, AMegabyteOfTextArrivesWhole)
{
    std::string text;
    for (std::size_t i = 0; text.size() < 1024 * 1024; ++i)
        text += trickyPieces[i % trickyPieces.size()];
    EXPECT_TRUE(delivered("processes", text, text));
}

// The page's value walked in the engine, next to what its JSON text used to give.
class ScriptMessageBodyTest : public ::testing::Test {
protected:
    GObjectPtr<JSCValue> evaluate(const std::string& expression)
    {
        auto value = GObjectPtr<JSCValue>::adopt(jsc_context_evaluate(m_context.get(), expression.c_str(), -1));
        EXPECT_EQ(jsc_context_get_exception(m_context.get()), nullptr) << expression;
        return value;
    }

    nlohmann::json throughJSONText(JSCValue* value)
    {
        const GCharPtr json(jsc_value_to_json(value, 0));
        jsc_context_clear_exception(m_context.get());
        return json ? messageBodyFromJSON(json.get()) : nullptr;
    }

    GObjectPtr<JSCContext> m_context = GObjectPtr<JSCContext>::adopt(jsc_context_new());
};

TEST_F(ScriptMessageBodyTest, ValuesArriveAsTheirJSONTextGaveThem)
{
    const std::string deepest = "JSON.parse('['.repeat(256) + ']'.repeat(256))";
    const std::vector<std::pair<std::string, std::string>> cases {
        { R"(({ filename: "a.txt", content: "x" }))", R"({"content":"x","filename":"a.txt"})" },
        { "[1, -2, 1.5, -0, 1e21, 2 ** 64, NaN, Infinity, -Infinity]",
          "[1,-2,1.5,0,1e21,18446744073709551616.0,null,null,null]" },
        { R"(({ u: undefined, f() {}, s: Symbol("s"), n: null, t: true, [Symbol("k")]: 1 }))",
          R"({"n":null,"t":true})" },
        { R"([undefined, function () {}, Symbol("s"), , false])", "[null,null,null,null,false]" },
        { R"(({ d: new Date(0), o: { toJSON(key) { return key + "!"; } } }))",
          R"({"d":"1970-01-01T00:00:00.000Z","o":"o!"})" },
        { "Object.assign(Object.create({ inherited: 1 }), { own: 2 })", R"({"own":2})" },
        { R"("a\u0000b\u00e9\ud83d\ude00")", "\"a\\u0000b\u00e9\U0001f600\"" },
        { deepest, std::string(256, '[') + std::string(256, ']') },
        { "[" + deepest + "]", "null" },
        { "(() => { const o = {}; o.self = [o]; return o; })()", "null" },
        { R"(({ get bad() { throw new Error("no"); } }))", "null" },
        { R"(({ toJSON() { throw new Error("no"); } }))", "null" },
        { R"("lone \ud800 surrogate")", "null" },
        { "({ big: 10n })", "null" },
        { "undefined", "null" },
        { "(function () {})", "null" },
    };
    for (const auto& [expression, expected] : cases) {
        const auto value = evaluate(expression);
        const auto body = scriptMessageBody(value.get());
        EXPECT_EQ(body, nlohmann::json::parse(expected)) << expression;
        EXPECT_EQ(body, throughJSONText(value.get())) << expression;
        EXPECT_EQ(jsc_context_get_exception(m_context.get()), nullptr) << expression;
    }
}

TEST_F(ScriptMessageBodyTest, LongTextArrivesWholeWithItsSurrogatePairs)
{
    // A pair straddles the first slice boundary; a NUL character ends the text.
    const auto value = evaluate(R"(({ content: "a" + "\ud83d\ude00".repeat(1200000) + "\u0000" }))");
    std::string expected = "a";
    for (int i = 0; i < 1200000; ++i)
        expected += "\U0001f600";
    expected += std::string(1, '\0');
    const auto body = scriptMessageBody(value.get());
    ASSERT_TRUE(body.is_object());
    EXPECT_TRUE(body["content"] == expected);
}

}
}
