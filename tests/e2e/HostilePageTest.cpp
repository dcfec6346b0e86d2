#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

class HostilePageTest : public ExamTest {
protected:
    long residentKiB()
    {
        return std::stol(run({ "awk", "/^VmRSS:/ { print $2 }", "/proc/" + std::to_string(m_pid) + "/status" }));
    }
};

TEST_F(HostilePageTest, AFloodOfHostileMessagesIsSurvivedAndAnswered)
{
    // Running programs whose names are built to break the report and the page: an
    // executable's file name, and a display name a program gives itself.
    const std::string hostileExecutable = "evil'\"<script>\nname";
    std::filesystem::copy_file("/bin/sleep", m_folder + "/" + hostileExecutable);
    call("spawn", { { "argv", { m_folder + "/" + hostileExecutable, "600" } } });
    const std::string hostileName = "a\nb'\"</script>";
    // One write: the name's line feed must not split it.
    call("spawn",
         { { "argv",
             { "perl", "-e", "open(my $f, '>', \"/proc/$$/comm\") or die; syswrite($f, $ARGV[0]); close($f); sleep 600",
               hostileName } } });

    call("service", { { "options", { "--launch-page", E2E_DIR "/pages/hostile.html" } } });
    startTessaro({ "tessaro://launch/HOSTILE" });
    call("window");
    ASSERT_TRUE(waitForOutput("Was able to lock? true"));
    const long baseline = residentKiB();

    // Three presses of the quit shortcut, again and again, while the page floods.
    for (int round = 0; round < 3; ++round) {
        call("key", { { "keys", "ctrl+q ctrl+q ctrl+q" } });
        std::this_thread::sleep_for(1500ms);
    }

    const auto flooded = waitForReport({ { "kind", "flooded" } }, 120s);
    ASSERT_TRUE(flooded);
    const auto answered = waitForReport({ { "kind", "answered" } }, 120s);
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
    for (const std::string name : { "saveFile", "security", "download", "processes" })
        EXPECT_EQ(lines(name).size(), flooded->at("posted").at(name).get<std::size_t>()) << name;
    const auto longLines = lines(std::string(1024, 'L'), true);
    ASSERT_EQ(longLines.size(), 1u);
    EXPECT_EQ(longLines[0], std::string(50 * 1024 * 1024, 'L'));

    EXPECT_FALSE(waitForExit(0s)) << "the exam is still running";
    call("window", { { "timeout", 2 } });

    // Nothing written outside Downloads: the one plain name that was valid is there.
    std::istringstream written(run({ "grep", "-rlxsZ", "-D", "skip", "hostile-content", m_folder }));
    for (std::string path; std::getline(written, path, '\0');)
        EXPECT_EQ(std::filesystem::path(path).parent_path(), std::filesystem::path(downloads())) << path;
    EXPECT_FALSE(std::filesystem::exists("/tmp/tessaro-hostile-absolute"));
    EXPECT_FALSE(std::filesystem::exists(m_home + "/up.txt"));

    std::this_thread::sleep_for(5s);
    const long after = residentKiB();
    EXPECT_LT(after, baseline + 64 * 1024) << "resident memory " << baseline << " KiB before, " << after << " after";
}

}
}
