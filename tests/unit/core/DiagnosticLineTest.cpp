#include <gtest/gtest.h>

#include "common/DiagnosticLine.h"

namespace tessaro::testing {
namespace {

TEST(DiagnosticLine, NoTextCanEndItsLineOrDriveTheTerminal)
{
    const std::vector<std::pair<std::string, std::string>> cases {
        { "plain text, quotes \" ' and \\ stay", "plain text, quotes \" ' and \\ stay" },
        { "a\nb\rc\td", "a\\nb\\rc\\td" },
        { std::string("nul\0x", 5), "nul\\x00x" },
        { "\x1b[2Jcleared\x7f", "\\x1b[2Jcleared\\x7f" },
        { "next\xc2\x85line and \xc2\x9b"
          "c1",
          "next\\u0085line and \\u009bc1" },
        { "caf\xc3\xa9 \xe2\x80\xa8 \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x80\xa8 \xf0\x9f\x98\x80" },
        { "trailing \xc2", "trailing \xc2" },
    };
    for (const auto& [text, line] : cases)
        EXPECT_EQ(diagnosticLine(text), line);
}

}
}
