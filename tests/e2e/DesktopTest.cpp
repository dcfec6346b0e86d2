#include <filesystem>
#include <thread>

#include "tests/e2e/support/ExamTest.h"
#include "tests/e2e/support/Reports.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

// Launch links as the desktop hands them over: a session bus, the tessaro: scheme
// registered to tessaro-local, and `gio open` of a link while the exam runs.
class DesktopTest : public ExamTest {
protected:
    void SetUp() override
    {
        ExamTest::SetUp();
        m_bus = std::make_unique<Subprocess>(
            std::vector<std::string> { "dbus-daemon", "--session", "--nofork", "--print-address=1" },
            inheritedEnvironment({}), folder() + "/dbus.log");
        const auto address = m_bus->waitForLine([](const std::string& line) { return !line.empty(); }, 10s);
        ASSERT_TRUE(address);
        m_busAddress = *address;

        std::filesystem::create_directories(home() + "/.local/share/applications");
        std::filesystem::create_directories(home() + "/.config");
        writeFile(home() + "/.local/share/applications/tessaro-local.desktop",
                  std::string("[Desktop Entry]\nType=Application\nName=Tessaro (local)\nExec=") + TESSARO_LOCAL_BINARY
                      + " %u\nMimeType=x-scheme-handler/tessaro;\n");
        writeFile(home() + "/.config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/tessaro=tessaro-local.desktop\n");
    }

    Environment withBus() const { return { { "DBUS_SESSION_BUS_ADDRESS", m_busAddress } }; }

    CommandResult open(const std::string& link)
    {
        auto environment = m_x->environment();
        for (const auto& [key, value] : homeEnvironment())
            environment[key] = value;
        environment["DBUS_SESSION_BUS_ADDRESS"] = m_busAddress;
        return runCommand({ "gio", "open", link }, environment, 20s);
    }

    std::vector<std::string> launchQueries() const
    {
        std::vector<std::string> queries;
        for (const auto& request : m_service->requestsFor("/native-launch"))
            queries.push_back(request.at("query"));
        return queries;
    }

    std::unique_ptr<Subprocess> m_bus;
    std::string m_busAddress;
};

TEST_F(DesktopTest, ALinkOpenedBeforeTheLaunchGivesTheRunningExamItsKey)
{
    // The key is read when the launch address is composed, after the status answer.
    startService({ "--status-delay", "3" });
    startTessaro({}, withBus());
    waitForExamWindow();
    EXPECT_EQ(open("tessaro://launch/LINKED-KEY").status, 0);
    ASSERT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "loaded"); }, 20s));
    EXPECT_EQ(launchQueries(), std::vector<std::string> { "examkey=LINKED-KEY" });
    EXPECT_FALSE(m_tessaro->waitForExit(0s)) << "the first instance keeps the exam";
}

TEST_F(DesktopTest, ALinkOpenedAfterTheLaunchChangesNothingLoaded)
{
    startService();
    startTessaro({ "tessaro://launch/FIRST" }, withBus());
    ASSERT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "loaded"); }, 20s));
    EXPECT_EQ(open("tessaro://launch/SECOND").status, 0);
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(launchQueries(), std::vector<std::string> { "examkey=FIRST" });
    const auto windows = m_x->run({ "xdotool", "search", "--onlyvisible", "--name", "Tessaro" });
    EXPECT_EQ(std::count(windows.output.begin(), windows.output.end(), '\n'), 1) << "one exam window";
    EXPECT_FALSE(m_tessaro->waitForExit(0s));
}

}
}
