#include "bridge/RunningApplicationReport.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

TEST(RunningApplicationReport, IsCompactJsonOfPairsAndEmptyRecords)
{
    struct Case {
        std::vector<RunningApplication> applications;
        std::string expected;
    };
    const std::vector<Case> cases {
        { {}, "[]" },
        { { ApplicationData { "org.gnome.Nautilus", "Files" }, runningApplication(std::nullopt, "bash") },
          R"([["org.gnome.Nautilus","Files"],[]])" },
        { { runningApplication("id-only", std::nullopt), ApplicationData { "a", "b" } }, R"([[],["a","b"]])" },
        { { ApplicationData { "quote", "say \"hi\" it's" } }, R"([["quote","say \"hi\" it's"]])" },
        { { ApplicationData { "caf\xc3\xa9", "\xe8\xa9\xa6\xe9\xa8\x93" } },
          "[[\"caf\xc3\xa9\",\"\xe8\xa9\xa6\xe9\xa8\x93\"]]" },
        { { ApplicationData { "ctl", "a\nb" } }, R"([["ctl","a\nb"]])" },
        { { ApplicationData { "bad",
                              "x\xff"
                              "y" } },
          "[[\"bad\",\"x\xef\xbf\xbdy\"]]" },
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(runningApplicationsJSON(testCase.applications), testCase.expected);
}

using ProcessesCommandTest = ControllerFixture;

TEST_F(ProcessesCommandTest, EveryCommandGetsAFreshReplyThatSurvivesQuotes)
{
    loadView();
    host.applications.applications = { ApplicationData { "tessaro", "tessaro" } };
    page().postMessage("processes", nullptr);
    host.applications.applications.push_back(ApplicationData { "evil", "it's \"</script>\"\n" });
    page().postMessage("processes", "again");
    EXPECT_EQ(takePageCalls(),
              (std::vector<std::string> {
                  pageCall("processes", R"([["tessaro","tessaro"]])"),
                  pageCall("processes", R"([["tessaro","tessaro"],["evil","it\'s \\"</script>\\"\\n"]])"),
              }));
}

}
}
