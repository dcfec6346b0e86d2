#include <map>
#include <vector>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

using BridgeTest = ExamTest;
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

    const auto withheld
        = json::parse(R"({"handlers":"undefined","getters":[],"parent":"SecurityError","top":"SecurityError"})");
    const auto bridged = json::parse(R"({"handlers":"object","getters":["object"],"parent":"object","top":"object"})");
    for (const auto& [frame, seen] : std::map<std::string, json> {
             { "foreign-frame", withheld }, { "wandering-frame", withheld }, { "arrived-frame", bridged } }) {
        const auto report = waitForReport({ { "frame", frame } });
        ASSERT_TRUE(report) << frame;
        EXPECT_EQ(report->at("seen"), seen) << frame;
    }

    // Only the exam's own frames were heard: one save, one security answer, a log line each.
    EXPECT_TRUE(waitForMessage("security"));
    ASSERT_TRUE(waitForMessage("fileSaved"));
    EXPECT_EQ(run({ "ls", downloads() }), "exam-frame.txt\n");
    const std::string refused = " has no bridge: it is not of the exam's origin";
    EXPECT_EQ(lines("A frame of http://localhost:" + std::to_string(TESSARO_LOCAL_PORT) + refused).size(), 2u);
    for (const auto& line : std::vector<std::string> { "exam-frame-log", "arrived-frame-log", "saveFile", "security",
                                                       "A frame of an opaque origin" + refused })
        EXPECT_EQ(lines(line).size(), 1u) << line;
    for (const std::string line : { "foreign-frame-log", "sandboxed-frame-log", "download", "processes", "quit" })
        EXPECT_TRUE(lines(line).empty()) << line;
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
