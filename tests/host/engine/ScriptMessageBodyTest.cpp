#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jsc/jsc.h>

#include "common/MessageBody.h"
#include "platform/glib/GLibOwners.h"
#include "platform/gtk/ScriptMessageBody.h"

namespace tessaro::testing {
namespace {

// The page's value walked in the engine, next to what its JSON text used to give.
TEST(ScriptMessageBody, ValuesArriveAsTheirJSONTextGaveThem)
{
    const auto context = GObjectPtr<JSCContext>(jsc_context_new());
    // A page that replaced JSON.stringify has each body walked in the engine value by value.
    const auto replacedJSON = GObjectPtr<JSCContext>(jsc_context_new());
    const GObjectPtr<JSCValue> replacement(
        jsc_context_evaluate(replacedJSON.get(), "JSON.stringify = () => { throw new Error('replaced'); }", -1));
    const std::string deepest = "JSON.parse('['.repeat(256) + ']'.repeat(256))";
    std::string longText = "a";
    for (int i = 0; i < 1200000; ++i)
        longText += "\U0001f600";
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
    };
    for (const auto& [expression, expected] : cases) {
        const auto value = GObjectPtr<JSCValue>(jsc_context_evaluate(context.get(), expression.c_str(), -1));
        ASSERT_EQ(jsc_context_get_exception(context.get()), nullptr) << expression;
        const auto body = scriptMessageBody(value.get()).tree;
        EXPECT_TRUE(body == nlohmann::json::parse(expected)) << expression.substr(0, 80);
        const GObjectPtr<JSCValue> walked(jsc_context_evaluate(replacedJSON.get(), expression.c_str(), -1));
        EXPECT_TRUE(scriptMessageBody(walked.get()).tree == body) << expression.substr(0, 80);
        const GCharPtr json(jsc_value_to_json(value.get(), 0));
        jsc_context_clear_exception(context.get());
        EXPECT_TRUE(body == (json ? messageBodyFromJSON(json.get()) : nullptr)) << expression.substr(0, 80);
        EXPECT_EQ(jsc_context_get_exception(context.get()), nullptr) << expression;
    }

    // A long text, the body's own or a top-level member's, stays in the engine and is read
    // in slices where used; a surrogate pair straddles the first slice boundary.
    const std::string okText = R"("a" + "\ud83d\ude00".repeat(1200000))";
    const auto value = GObjectPtr<JSCValue>(jsc_context_evaluate(
        context.get(), ("({ n: 1, ok: " + okText + R"(, bad: "a".repeat(1500000) + "\ud800" }))").c_str(), -1));
    auto body = scriptMessageBody(value.get());
    EXPECT_EQ(body.tree, nlohmann::json::parse(R"({"n":1,"ok":"","bad":""})"));
    const auto whole = GObjectPtr<JSCValue>(jsc_context_evaluate(context.get(), okText.c_str(), -1));
    auto wholeBody = scriptMessageBody(whole.get());
    EXPECT_EQ(wholeBody.tree, "");
    for (const PageText* text : { &body.longTexts.at("ok"), &wholeBody.longText }) {
        std::string read;
        int pieces = 0;
        EXPECT_TRUE((*text)([&read, &pieces](std::string_view piece) {
            read.append(piece);
            return ++pieces > 0;
        }));
        EXPECT_TRUE(read == longText && pieces == 3) << pieces;
    }
    EXPECT_FALSE(body.longTexts.at("bad")([](std::string_view /*piece*/) { return true; }));
}

}
}
