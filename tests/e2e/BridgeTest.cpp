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
