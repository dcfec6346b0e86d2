
#include "common/DiagnosticLine.h"
#include "tests/support/ControllerFixture.h"
#include "web/PageCall.h"

namespace tessaro::testing {
namespace {

TEST(DiagnosticLine, NoTextCanEndItsLineOrDriveTheTerminal)
{
    const std::pair<std::string, std::string> cases[] = {
        { "plain text, quotes \" ' and \\ stay", "plain text, quotes \" ' and \\ stay" },
        { "a\nb\rc\td", "a\\nb\\rc\\td" },
        { "\x1b[2Jcleared\x7f", "\\x1b[2Jcleared\\x7f" },
        { "next\xc2\x85line, \xc2\x80 and \xc2\x9f", "next\\u0085line, \\u0080 and \\u009f" },
        { "caf\xc3\xa9 \xe2\x80\xa8 \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x80\xa8 \xf0\x9f\x98\x80" },
        { "trailing \xc2", "trailing \xc2" },
    };
    for (const auto& [text, line] : cases)
        EXPECT_EQ(diagnosticLine(text), line);
}

TEST(PageCall, IsTheGuardedCallWithThePayloadAsOneStringLiteral)
{
    const std::pair<PagePayload, std::string> cases[] = {
        { true, "true" },
        { 1.0f, "1.0" },
        { 57.0f / 100.0f, "0.57" },
        { std::string("it's"), "it\\'s" },
        { std::string("back\\slash"), "back\\\\slash" },
        { std::string("line\nfeed\rreturn"), "line\\nfeed\\rreturn" },
        { std::string("tab\tbell\a space\x7f"), "tab\\x09bell\\x07 space\\x7f" },
        { std::string("sep\xe2\x80\xa8par\xe2\x80\xa9."), "sep\\u2028par\\u2029." },
        { std::string("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"), "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80" },
    };
    for (const auto& [payload, text] : cases)
        EXPECT_EQ(composePageCall("log", payload), ExamView::pageCall("log", text)) << text;
}

}
}
