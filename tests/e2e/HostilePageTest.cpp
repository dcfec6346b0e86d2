#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/e2e/support/ExamTest.h"
#include "tests/e2e/support/Reports.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

// Resident memory of one process, in KiB.
long residentKiB(int pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:"))
            return std::stol(line.substr(6));
    }
    return -1;
}

// Every file under the folder that holds the hostile page's content.
std::vector<std::string> filesWithHostileContent(const std::string& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             folder, std::filesystem::directory_options::skip_permission_denied)) {
        if (entry.is_regular_file() && entry.file_size() < 1024 && readFile(entry.path()) == "hostile-content")
            found.push_back(entry.path());
    }
    return found;
}

class HostilePageTest : public ExamTest { };

TEST_F(HostilePageTest, AFloodOfHostileMessagesIsSurvivedAndAnswered)
{
    // Running programs whose names are built to break the report and the page: an
    // executable's file name, and a display name a program gives itself.
    const std::string hostileExecutable = "evil'\"<script>\nname";
    const std::string program = folder() + "/" + hostileExecutable;
    std::filesystem::copy_file("/bin/sleep", program);
    Subprocess hostileExecutableProcess({ program, "600" }, inheritedEnvironment({}), "/dev/null");
    const std::string hostileName = "a\nb'\"</script>";
    // One write: the name's line feed must not split it.
    Subprocess hostileNameProcess(
        { "perl", "-e", "open(my $f, '>', \"/proc/$$/comm\") or die; syswrite($f, $ARGV[0]); close($f); sleep 600",
          hostileName },
        inheritedEnvironment({}), "/dev/null");

    startService({ "--launch-page", std::string(E2E_PAGES_DIR) + "/hostile.html" });
    startTessaro({ "tessaro://launch/HOSTILE" });
    const auto window = waitForExamWindow();
    ASSERT_TRUE(waitForOutput("Was able to lock? true"));
    const long baseline = residentKiB(m_tessaro->pid());

    // Three presses of the quit shortcut, again and again, while the page floods.
    for (int round = 0; round < 3; ++round) {
        m_x->key(window, "ctrl+q ctrl+q ctrl+q");
        std::this_thread::sleep_for(1500ms);
    }

    const auto flooded = m_service->waitForReport([](const json& r) { return isKind(r, "flooded"); }, 120s);
    ASSERT_TRUE(flooded);
    const auto answered = m_service->waitForReport([](const json& r) { return isKind(r, "answered"); }, 120s);
    ASSERT_TRUE(answered) << "every valid security and every processes command is answered";
    EXPECT_EQ(answered->at("received").at("security"), flooded->at("validSecurity"));
    EXPECT_EQ(answered->at("received").at("processes"), flooded->at("posted").at("processes"));

    const auto& processes = answered->at("processes");
    for (const auto& hostile : { json::array({ hostileExecutable, hostileExecutable.substr(0, 15) }),
                                 json::array({ "perl", hostileName }) }) {
        EXPECT_NE(std::find(processes.begin(), processes.end(), hostile), processes.end())
            << hostile.dump() << " reaches the page intact";
    }

    // One line per message name, every line a line of its own.
    const auto lines = output();
    for (const std::string name : { "saveFile", "security", "download", "processes" })
        EXPECT_EQ(std::count(lines.begin(), lines.end(), name), flooded->at("posted").at(name).get<long>()) << name;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(50 * 1024 * 1024, 'L')), 1);

    EXPECT_FALSE(m_tessaro->waitForExit(0s)) << "the exam is still running";
    EXPECT_TRUE(m_x->waitForWindow(m_tessaro->pid(), 2s));

    // Nothing written outside Downloads: the one plain name that was valid is there.
    const auto written = filesWithHostileContent(folder());
    for (const auto& path : written)
        EXPECT_EQ(std::filesystem::path(path).parent_path(), std::filesystem::path(downloads())) << path;
    EXPECT_FALSE(exists("/tmp/tessaro-hostile-absolute"));
    EXPECT_FALSE(exists(home() + "/up.txt"));

    std::this_thread::sleep_for(5s);
    const long after = residentKiB(m_tessaro->pid());
    EXPECT_LT(after, baseline + 64 * 1024) << "resident memory " << baseline << " KiB before, " << after << " after";
}

}
}
