#include <algorithm>

#include "tests/e2e/support/ExamTest.h"
#include "tests/e2e/support/Reports.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

class BridgeTest : public ExamTest {
protected:
    void startScenario(const std::string& scenario)
    {
        startServiceWithScenarios();
        startTessaro({ "tessaro://launch/" + scenario });
        ASSERT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "loaded"); }, 20s));
    }
};

using BridgeOnEachDesktop = OnEachDesktop<BridgeTest>;
INSTANTIATE_TEST_SUITE_P(On, BridgeOnEachDesktop, everyDesktop(), desktopTestName);

TEST_P(BridgeOnEachDesktop, TheSecurityAnswerIsOneTheServiceAccepts)
{
    startScenario("security");
    const auto verdict = m_service->waitForReport([](const json& r) { return isKind(r, "security-verified"); }, 10s);
    ASSERT_TRUE(verdict);
    EXPECT_EQ(verdict->at("verified"), true);
    const auto answer = m_service->waitForMessage("security", 1s);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->at("payload").get<std::string>().size(), 64u);
}

TEST_F(BridgeTest, LogWritesTheBodyAsOneLineAfterTheName)
{
    startScenario("log");
    ASSERT_TRUE(waitForOutput("two\\nlines", 10s));
    auto lines = output();
    const auto first = std::find(lines.begin(), lines.end(), "log");
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(
        std::vector<std::string>(first, first + 6),
        (std::vector<std::string> { "log", "hello from the exam page", "log", "{\"a\":1}", "log", "two\\nlines" }));
}

TEST_F(BridgeTest, QuitEmptiesTheClipboardAndEndsTheProgram)
{
    startScenario("quit");
    m_x->setSelection("clipboard", "copied during the exam");
    EXPECT_EQ(m_tessaro->waitForExit(15s), 0);
    EXPECT_EQ(m_x->selection("clipboard"), std::nullopt);
    const auto lines = output();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "quit"), lines.end());
}

TEST_F(BridgeTest, ANameOutsideTheSixNeverArrives)
{
    startScenario("battery");
    EXPECT_TRUE(m_service->waitForReport(
        [](const json& r) { return isKind(r, "missing-handler") && r.value("name", "") == "battery"; }, 10s));
    std::this_thread::sleep_for(1s);
    const auto lines = output();
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "battery"), lines.end());
}

}
}
