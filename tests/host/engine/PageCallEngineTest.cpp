#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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
    "'", "\"", "`", "\\", "\\\\", "\\'", "\\\"", "\\x", "\\u", "\\u{", "\\0", "\n", "\r", "\r\n", "\t", "\0"s,
    "\x1b", "\x7f", "\u2028", "\u2029", "\u0085", "\u00a0", "\ufeff", "\u200b", "\u202e", "\uffff", "\U0010ffff",
    "\u00e9", "e\u0301", "\u4e2d\u6587", "\U0001f600", "\U0001f469\u200d\U0001f469\u200d\U0001f467",
    "</script>", "<!--", "-->", "*/", "${", "');", "'); window.K$ = null; ('", "a", "Z", "0", " ", "{}", "[]",
};

class PageCallEngineTest : public ::testing::Test {
protected:
    ::testing::AssertionResult delivered(const std::string& name, const PagePayload& payload,
                                         const std::string& text)
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

}
}
