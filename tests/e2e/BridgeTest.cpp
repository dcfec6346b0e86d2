#include <map>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

using BridgeTest = ExamTest;
using BridgeOnEachDesktop = OnEachDesktop<BridgeTest>;
INSTANTIATE_TEST_SUITE_P(On, BridgeOnEachDesktop, everyDesktop(), desktopTestName);

TEST_P(BridgeOnEachDesktop, TheSecurityAnswerIsOneTheServiceAccepts)
{
    startScenario("security");
    const auto verdict = waitForReport({ { "kind", "security-verified" } }, 10s);
    ASSERT_TRUE(verdict);
    EXPECT_EQ(verdict->at("verified"), true);
    const auto answer = waitForMessage("security", 1s);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->at("payload").get<std::string>().size(), 64u);
}

TEST_F(BridgeTest, QuitEmptiesTheClipboardAndEndsTheProgram)
{
    startScenario("quit");
    call("set-selection", { { "name", "clipboard" }, { "text", "copied during the exam" } });
    EXPECT_EQ(waitForExit(15s), 0);
    EXPECT_EQ(selection("clipboard"), std::nullopt);
    EXPECT_EQ(lines("quit").size(), 1u);
}

// On X11 only: which frame may post is decided in the engine's web process, the same
// whatever desktop shows the window.
TEST_F(BridgeTest, FramesOfAnotherOriginReachNothingWhileTheExamsOwnFramesPost)
{
    startScenario("frames");
    // The page logs each frame's end after every message the frame's posts could have caused.
    for (const std::string frame :
         { "exam-frame", "foreign-frame", "arrived-frame", "sandboxed-frame, handlers undefined" })
        ASSERT_TRUE(waitForOutput("done: " + frame)) << frame;

    const json withheld = { { "handlers", "undefined" },
                            { "getters", json::array() },
                            { "parent", "SecurityError" },
                            { "top", "SecurityError" } };
    const auto foreign = waitForReport({ { "frame", "foreign-frame" } });
    ASSERT_TRUE(foreign);
    EXPECT_EQ(foreign->at("seen"), withheld);
    EXPECT_EQ(foreign->at("posted"), json::array());
    const auto wandering = waitForReport({ { "frame", "wandering-frame" } });
    ASSERT_TRUE(wandering);
    EXPECT_EQ(wandering->at("seen"), withheld);
    const auto arrived = waitForReport({ { "frame", "arrived-frame" } });
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->at("seen").at("handlers"), "object") << "once at the exam's origin, the frame has the bridge";

    // Only the exam's own frames were heard: one save, one security answer, two log lines of theirs.
    const auto answer = waitForMessage("security");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->at("payload").get<std::string>().size(), 64u);
    ASSERT_TRUE(waitForMessage("fileSaved"));
    EXPECT_EQ(run({ "ls", downloads() }), "exam-frame.txt\n");
    EXPECT_EQ(lines("exam-frame-log").size(), 1u);
    EXPECT_EQ(lines("arrived-frame-log").size(), 1u);
    for (const auto& [name, count] : std::map<std::string, std::size_t> {
             { "saveFile", 1 }, { "security", 1 }, { "download", 0 }, { "processes", 0 }, { "quit", 0 } })
        EXPECT_EQ(lines(name).size(), count) << name;
    EXPECT_TRUE(lines("foreign-frame-log").empty());
    EXPECT_TRUE(lines("sandboxed-frame-log").empty());
    EXPECT_EQ(lines("A frame of http://localhost:" + std::to_string(TESSARO_LOCAL_PORT)
                    + " has no bridge: it is not of the exam's origin")
                  .size(),
              2u);
    EXPECT_EQ(lines("A frame of an opaque origin has no bridge: it is not of the exam's origin").size(), 1u);
    EXPECT_FALSE(waitForExit(0s)) << "the exam is still running";
}

TEST_F(BridgeTest, TheBatteryLevelReachesThePage)
{
    startScenario("probe");
    const auto battery = waitForMessage("battery", 45s);
    ASSERT_TRUE(battery);
    const std::string level = battery->at("payload");
    EXPECT_NE(level.find('.'), std::string::npos) << level;
    EXPECT_NO_THROW((void)std::stof(level));
}

}
}
