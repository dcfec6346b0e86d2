#include "bridge/RunningApplicationReport.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

TEST(RunningApplicationReport, IsCompactJsonOfPairsAndEmptyRecords)
{
    const std::pair<std::vector<RunningApplication>, std::string> cases[] = {
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
    for (const auto& [applications, json] : cases)
        EXPECT_EQ(runningApplicationsJSON(applications), json);
}

using ProcessesCommandTest = ControllerFixture;

TEST_F(ProcessesCommandTest, CommandsDuringAScanAreAnsweredTogetherByTheNextScan)
{
    // r: the page asks; c: the applications change; t: half a scan's time passes.
    // The versions of the list each answer carries, in order, and how many scans ran.
    struct Case {
        std::string events;
        std::vector<int> answeredVersions;
        std::size_t scans;
    };
    // A burst answered over several turns of the main loop, still by one scan.
    std::vector<int> manyAnswers(251, 1);
    manyAnswers.front() = 0;
    const std::vector<Case> cases {
        { "r", { 0 }, 1 },
        { "rr", { 0, 0 }, 2 },
        { "rcr", { 0, 1 }, 2 },
        { "rcrrcr", { 0, 2, 2, 2 }, 2 },
        { "rtcrttr", { 0, 1, 1 }, 3 },
        { "rttcttr", { 0, 1 }, 2 },
        { std::string(251, 'r') + "c", manyAnswers, 2 },
    };
    const auto listOfVersion = [](int version) {
        return std::vector<RunningApplication> { ApplicationData { "list", std::to_string(version) } };
    };
    loadView();
    host.scanSeconds = 1;
    for (const auto& testCase : cases) {
        host.clock.advance(10);
        takePageCalls();
        host.calls.clear();
        int version = 0;
        host.applications.applications = listOfVersion(version);
        for (const char event : testCase.events) {
            if (event == 'r') {
                page().postMessage("processes", nullptr);
            } else if (event == 'c') {
                host.applications.applications = listOfVersion(++version);
            } else {
                host.clock.advance(0.5);
            }
        }
        host.clock.advance(10);
        std::vector<std::string> expected;
        for (const int answered : testCase.answeredVersions)
            expected.push_back(pageCall("processes", runningApplicationsJSON(listOfVersion(answered))));
        EXPECT_EQ(takePageCalls(), expected) << testCase.events;
        EXPECT_EQ(host.timesCalled("runningApplications"), testCase.scans) << testCase.events;
    }
}

}
}
