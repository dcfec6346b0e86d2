#include <gtest/gtest.h>

#include "web/PageCall.h"

namespace tessaro::testing {
namespace {

const std::string prefix = "window.K$ && window.K$.macOS && window.K$.macOS.message('";

TEST(PageCall, IsTheGuardedCallWithTwoTextArguments)
{
    EXPECT_EQ(prefix.size(), 57u);
    EXPECT_EQ(composePageCall("downloaded", true), prefix + "downloaded', 'true');");
    EXPECT_EQ(composePageCall("battery", 0.5f), prefix + "battery', '0.5');");
    EXPECT_EQ(composePageCall("fileSaved", std::string("file:///home/s/Downloads/a%20b.txt")),
              prefix + "fileSaved', 'file:///home/s/Downloads/a%20b.txt');");
    EXPECT_EQ(composePageCall("processes", std::string()), prefix + "processes', '');");
}

TEST(PageCall, FloatsAreShortestDecimalsWithAPoint)
{
    const std::vector<std::pair<float, std::string>> cases {
        { 0.5f, "0.5" },   { 1.0f, "1.0" }, { 85.0f, "85.0" },
        { 0.57f, "0.57" }, { 0.0f, "0.0" }, { 57.0f / 100.0f, "0.57" },
        { 1.01f, "1.01" }, { 0.1f, "0.1" }, { 2.55f, "2.55" },
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(payloadText(value), text) << value;
    EXPECT_EQ(payloadText(false), "false");
}

TEST(PageCall, TextThatWouldBreakTheLiteralIsEscaped)
{
    const std::vector<std::pair<std::string, std::string>> cases {
        { "it's", "it\\'s" },
        { "back\\slash", "back\\\\slash" },
        { "line\nfeed\rreturn", "line\\nfeed\\rreturn" },
        { std::string("nul\0byte", 8), "nul\\x00byte" },
        { "tab\tbell\a", "tab\\x09bell\\x07" },
        { "sep\xe2\x80\xa8par\xe2\x80\xa9", "sep\\u2028par\\u2029" },
        { "caf\xc3\xa9 \xf0\x9f\x98\x80", "caf\xc3\xa9 \xf0\x9f\x98\x80" },
        { "</script><script>alert(1)</script>", "</script><script>alert(1)</script>" },
        { R"([["a\"b","n"]])", R"([["a\\"b","n"]])" },
    };
    for (const auto& [payload, escaped] : cases)
        EXPECT_EQ(composePageCall("log", payload), prefix + "log', '" + escaped + "');") << payload;
}

}
}
