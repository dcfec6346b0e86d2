#include "files/BatteryLevel.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

using KioskLockTest = ControllerFixture;

TEST_F(KioskLockTest, LockingFillsTheScreenGoesFullScreenAndSaysSo)
{
    const std::vector<std::string> expected {
        "window.fillScreen",
        "window.enterFullScreen",
        "line Was able to lock? true",
        "window.excludeFromCapture",
        "line This desktop cannot keep the exam window out of screen captures",
        "timers.schedule 30 repeating",
    };
    host.calls.clear();
    host.window.appear();
    EXPECT_EQ(host.calls, expected);
    host.calls.clear();
    host.mainScreen = false;
    host.window.appear();
    EXPECT_EQ(host.calls,
              (CallLog { expected[0], "line Was able to lock? false", expected[3], expected[4], expected[5] }));
}

TEST_F(KioskLockTest, ALateRefusalIsReportedAndTheBatteryReportStillCountsFromTheLock)
{
    host.window.immediateFullScreenAnswer.reset();
    host.window.appear();
    EXPECT_TRUE(host.output.lines.empty());
    host.clock.advance(2);
    host.window.answerFullScreen(false);
    EXPECT_EQ(host.output.lines.front(), "Was able to lock? false");
    host.clock.advance(28);
    EXPECT_EQ(takePageCalls().size(), 1u);
}

TEST_F(KioskLockTest, EachAppearanceStartsOneMoreBatteryReportThirtySecondsLater)
{
    host.power.sources = { { 57 } };
    host.clock.advance(100);
    host.window.appear();
    host.clock.advance(29.9);
    EXPECT_TRUE(takePageCalls().empty());
    host.clock.advance(0.1);
    EXPECT_EQ(takePageCalls(), std::vector<std::string> { pageCall("battery", "0.57") });
    host.clock.advance(10);
    host.window.appear();
    host.clock.advance(50); // the first timer fires twice, the second once
    EXPECT_EQ(takePageCalls().size(), 3u);
}

TEST(BatteryLevel, IsTheFirstSourcesChargeAsAFraction)
{
    const std::pair<std::vector<PowerSource>, float> cases[] = {
        { { { 57 } }, 0.57f },
        { { { 100 } }, 1.0f },
        { { { 0 } }, 0.0f },
        { { { 104 } }, 1.04f },
        { {}, 0.0f },
        { { { std::nullopt } }, 0.0f },
        { { { 40 }, { 90 } }, 0.40f },
        { { { std::nullopt }, { 90 } }, 0.0f },
    };
    for (const auto& [sources, level] : cases) {
        FakePowerSources power;
        power.sources = sources;
        EXPECT_EQ(batteryLevel(power), level);
    }
}

}
}
