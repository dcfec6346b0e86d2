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
    // r: the page asks; c: the applications change; t: half a scan's time passes. Then the
    // versions of the list the answers carry, in order, and how many scans ran. A burst is
    // answered over several turns of the main loop, still by one scan.
    const std::tuple<std::string, std::string, std::size_t> cases[] = {
        { "r", "0", 1 },
        { "rr", "00", 2 },
        { "rcr", "01", 2 },
        { "rcrrcr", "0222", 2 },
        { "rtcrttr", "011", 3 },
        { "rttcttr", "01", 2 },
        { std::string(251, 'r') + "c", "0" + std::string(250, '1'), 2 },
    };
    const auto listOfVersion = [](char version) {
        return std::vector<RunningApplication> { ApplicationData { "list", std::string(1, version) } };
    };
    host.scanSeconds = 1;
    for (const auto& [events, answered, scans] : cases) {
        host.calls.clear();
        char version = '0';
        host.applications.applications = listOfVersion(version);
        for (const char event : events) {
            if (event == 'r')
                page().postMessage("processes", nullptr);
            else if (event == 'c')
                host.applications.applications = listOfVersion(++version);
            else
                host.clock.advance(0.5);
        }
        host.clock.advance(10);
        std::vector<std::string> expected;
        for (const char answer : answered)
            expected.push_back(pageCall("processes", runningApplicationsJSON(listOfVersion(answer))));
        EXPECT_EQ(takePageCalls(), expected) << events;
        EXPECT_EQ(host.timesCalled("runningApplications"), scans) << events;
    }
}

}
}
