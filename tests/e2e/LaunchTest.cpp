#include <filesystem>
#include <fstream>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

using LaunchTest = ExamTest;
using LaunchOnEachDesktop = OnEachDesktop<LaunchTest>;
INSTANTIATE_TEST_SUITE_P(On, LaunchOnEachDesktop, everyDesktop(), desktopTestName);

TEST_P(LaunchOnEachDesktop, ALaunchLinksKeyArrivesInTheLaunchPagesQuery)
{
    call("service");
    startTessaro({ "tessaro://launch/KEY%20with%2Fslash&more" });
    const auto launch = call("requests", { { "path", "/native-launch" }, { "timeout", 20 } });
    ASSERT_EQ(launch.size(), 1u);
    EXPECT_EQ(launch[0].at("query"), "examkey=KEY%20with%2Fslash%26more");
    EXPECT_EQ(launch[0].at("params"), (json { { "examkey", "KEY with/slash&more" } }));
    EXPECT_TRUE(waitForOutput("default " + origin() + "/fallback"));
}

// The web process killed as the kernel's out-of-memory killer does: the exam comes back
// at its address with a bridge whose security answers the service accepts, three times
// within a minute; the fourth end leaves the error page.
TEST_P(LaunchOnEachDesktop, TheExamOutlivesItsWebProcessThreeTimesAMinute)
{
    startScenario("security");
    call("window");
    const json verified { { "kind", "security-verified" }, { "verified", true } };
    for (std::size_t end = 0; end < 4; ++end) {
        // A verdict comes only after the navigation finished: the exam has loaded.
        ASSERT_EQ(reports(verified, end + 1, 10s).size(), end + 1) << "after " << end << " ends";
        call("kill-web-process");
    }
    EXPECT_EQ(waitForMessage("security").value().at("payload").get<std::string>().size(), 64u);
    const auto loaded = reports({ { "kind", "loaded" } });
    EXPECT_EQ(loaded, std::vector(4, loaded.front())) << "the same address, handlers and user agent";
    EXPECT_EQ(
        lines("The web process crashed: loading the exam again at " + origin() + "/native-launch?examkey=security")
            .size(),
        3u);
    EXPECT_TRUE(waitForOutput("The web process crashed: showing the error page", 10s));
    EXPECT_NE(call("fullscreen"), false);
    if (onX11() || desktop() == "KWin") {
        const std::string errorTitle = "The exam could not be reached \u2014 Tessaro";
        EXPECT_EQ(call("title", { { "until", errorTitle }, { "timeout", 10 } }), errorTitle);
    }
    EXPECT_EQ(reports({ { "kind", "loaded" } }).size(), 4u) << "the exam is not loaded a fifth time";
}

// Launch links as the desktop hands them over: a session bus, the tessaro: scheme
// registered to tessaro-local, and `gio open` of a link while the exam runs.
class DesktopTest : public ExamTest {
protected:
    void startTessaroWithBus(const std::vector<std::string>& arguments)
    {
        startTessaro(arguments, json::object(), true);
        std::filesystem::create_directories(m_home + "/.local/share/applications");
        std::ofstream(m_home + "/.local/share/applications/tessaro-local.desktop")
            << "[Desktop Entry]\nType=Application\nName=Tessaro (local)\nExec=" TESSARO_LOCAL_BINARY
               " %u\nMimeType=x-scheme-handler/tessaro;\n";
        std::ofstream(m_home + "/.config/mimeapps.list")
            << "[Default Applications]\nx-scheme-handler/tessaro=tessaro-local.desktop\n";
    }

    int open(const std::string& link) { return call("run", { { "argv", { "gio", "open", link } } })["status"]; }

    std::vector<std::string> launchQueries()
    {
        std::vector<std::string> queries;
        for (const auto& request : call("requests", { { "path", "/native-launch" } }))
            queries.push_back(request.at("query"));
        return queries;
    }
};

TEST_F(DesktopTest, ALinkOpenedBeforeTheLaunchGivesTheRunningExamItsKey)
{
    // The key is read when the launch address is composed, after the status answer.
    call("service", { { "options", { "--status-delay", "3" } } });
    startTessaroWithBus({});
    call("window");
    EXPECT_EQ(open("tessaro://launch/LINKED-KEY"), 0);
    ASSERT_TRUE(waitForReport({ { "kind", "loaded" } }));
    EXPECT_EQ(launchQueries(), std::vector<std::string> { "examkey=LINKED-KEY" });
    EXPECT_FALSE(waitForExit(0s)) << "the first instance keeps the exam";
}

}
}
