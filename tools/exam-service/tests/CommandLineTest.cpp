#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaro {
namespace {

constexpr int builtInPort = 18765;

CommandLine parse(std::vector<std::string> arguments)
{
    return CommandLine(arguments, builtInPort);
}

TEST(CommandLine, NothingGivenMeansTheDefaultDocumentOnTheBuiltInPort)
{
    CommandLine commandLine = parse({});
    EXPECT_EQ(commandLine.error(), "");
    EXPECT_FALSE(commandLine.wantsHelp());
    EXPECT_EQ(commandLine.port(), builtInPort);
    EXPECT_EQ(commandLine.options().statusMode, StatusMode::Default);
    EXPECT_EQ(commandLine.options().statusDelay, std::chrono::milliseconds(0));
    EXPECT_EQ(commandLine.options().launchPageFile, "");
    EXPECT_EQ(commandLine.options().requestLogFile, "");
}

TEST(CommandLine, ReadsEveryOptionInBothSpellings)
{
    CommandLine commandLine
        = parse({ "--port", "20001", "--status=custom", "--status-body", R"({"routing":1})", "--status-code=503",
                  "--status-delay", "1.25", "--launch-page=/tmp/page.html", "--request-log", "/tmp/requests.jsonl" });
    ASSERT_EQ(commandLine.error(), "");
    const ServiceOptions& options = commandLine.options();
    EXPECT_EQ(commandLine.port(), 20001);
    EXPECT_EQ(options.statusMode, StatusMode::Custom);
    EXPECT_EQ(options.statusBody, R"({"routing":1})");
    EXPECT_EQ(options.statusCode, 503);
    EXPECT_EQ(options.statusDelay, std::chrono::milliseconds(1250));
    EXPECT_EQ(options.launchPageFile, "/tmp/page.html");
    EXPECT_EQ(options.requestLogFile, "/tmp/requests.jsonl");
}

TEST(CommandLine, NamesEveryStatusMode)
{
    const std::pair<const char*, StatusMode> modes[] = {
        { "default", StatusMode::Default },  { "fallback", StatusMode::Fallback },
        { "html-404", StatusMode::Html404 }, { "valid-500", StatusMode::Valid500 },
        { "empty", StatusMode::Empty },      { "drop", StatusMode::Drop },
    };
    for (const auto& [name, mode] : modes) {
        SCOPED_TRACE(name);
        CommandLine commandLine = parse({ "--status", name });
        EXPECT_EQ(commandLine.error(), "");
        EXPECT_EQ(commandLine.options().statusMode, mode);
    }
}

TEST(CommandLine, RoutingOverridesKeepTheirTextVerbatim)
{
    CommandLine commandLine = parse({ "--status", "valid-500", "--routing", " Fallback ", "--fallback-domain", "" });
    ASSERT_EQ(commandLine.error(), "");
    EXPECT_EQ(commandLine.options().routing, " Fallback ");
    EXPECT_EQ(commandLine.options().fallbackDomain, "");
}

TEST(CommandLine, HelpIsNoError)
{
    CommandLine commandLine = parse({ "--help" });
    EXPECT_TRUE(commandLine.wantsHelp());
    EXPECT_EQ(commandLine.error(), "");
}

TEST(CommandLine, RefusesWhatItCannotUse)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* complaint;
    };
    const Case cases[] = {
        { { "--verbose" }, "unknown option '--verbose'" },
        { { "extra" }, "unknown option 'extra'" },
        { { "--port" }, "--port needs a value" },
        { { "--port", "65536" }, "--port takes a number" },
        { { "--port", "-1" }, "--port takes a number" },
        { { "--port", "80x" }, "--port takes a number" },
        { { "--status", "Default" }, "unknown --status mode 'Default'" },
        { { "--status", "custom" }, "--status custom needs --status-body" },
        { { "--status", "custom", "--status-body", "{}", "--status-code", "99" },
          "--status-code takes an HTTP status" },
        { { "--status", "custom", "--status-body", "{}", "--status-code", "600" },
          "--status-code takes an HTTP status" },
        { { "--status-body", "{}" }, "apply to --status custom only" },
        { { "--status", "empty", "--status-code", "200" }, "apply to --status custom only" },
        { { "--status", "drop", "--routing", "fallback" }, "apply to --status default, fallback and valid-500 only" },
        { { "--status", "custom", "--status-body", "{}", "--fallback-domain", "x" }, "apply to --status default" },
        { { "--status-delay", "-1" }, "--status-delay takes decimal seconds" },
        { { "--status-delay", "3600.5" }, "--status-delay takes decimal seconds" },
        { { "--status-delay", "1e3" }, "--status-delay takes decimal seconds" },
        { { "--status-delay", "nan" }, "--status-delay takes decimal seconds" },
        { { "--status-delay", "" }, "--status-delay takes decimal seconds" },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::PrintToString(test.arguments));
        EXPECT_NE(parse(test.arguments).error().find(test.complaint), std::string::npos)
            << "got: " << parse(test.arguments).error();
    }
}

}
}
