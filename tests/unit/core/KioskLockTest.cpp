#include "files/BatteryLevel.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

class KioskLockTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        loadView();
        host.calls.clear();
    }

    std::vector<std::string> batteryCalls()
    {
        std::vector<std::string> calls;
        for (const auto& script : takePageCalls()) {
            if (script.find("'battery'") != std::string::npos)
                calls.push_back(script);
        }
        return calls;
    }
};

TEST_F(KioskLockTest, LockingFillsTheScreenGoesFullScreenAndSaysSo)
{
    host.window.appear();
    const std::vector<std::string> expected {
        "window.fillScreen",
        "window.enterFullScreen",
        "line Was able to lock? true",
        "window.excludeFromCapture",
        "line This desktop cannot keep the exam window out of screen captures",
        "timers.schedule 30 repeating",
    };
    EXPECT_EQ(host.calls.entries(), expected);
}

TEST_F(KioskLockTest, ALateRefusalIsReportedAndTheBatteryReportStillCountsFromTheLock)
{
    host.window.immediateFullScreenAnswer.reset();
    takePageCalls();
    host.window.appear();
    EXPECT_TRUE(host.output.lines.empty());
    host.clock.advance(2);
    host.window.answerFullScreen(false);
    EXPECT_EQ(host.output.lines.front(), "Was able to lock? false");
    host.clock.advance(28);
    EXPECT_EQ(batteryCalls().size(), 1u);
}

TEST_F(KioskLockTest, WithoutAMainScreenNoFullScreenIsAskedFor)
{
    host.displays.mainScreen = false;
    host.window.appear();
    EXPECT_EQ(host.calls.indexOf("window.enterFullScreen"), -1);
    EXPECT_EQ(host.calls.entries().front(), "window.fillScreen");
    EXPECT_EQ(host.output.lines.front(), "Was able to lock? false");
    EXPECT_NE(host.calls.indexOf("window.excludeFromCapture"), -1);
}

TEST_F(KioskLockTest, TheBatteryReportStartsThirtySecondsAfterTheViewIsShown)
{
    host.power.sources = { { 57 } };
    host.clock.advance(100);
    takePageCalls();
    host.window.appear();
    host.clock.advance(29.9);
    EXPECT_TRUE(batteryCalls().empty());
    host.clock.advance(0.1);
    EXPECT_EQ(batteryCalls(), std::vector<std::string> { pageCall("battery", "0.57") });
    host.clock.advance(30);
    EXPECT_EQ(batteryCalls().size(), 1u);
}

TEST_F(KioskLockTest, EachAppearanceAddsOneMoreBatteryTimer)
{
    host.window.appear();
    host.clock.advance(10);
    host.window.appear();
    host.clock.advance(50); // t = 60: the first timer fired twice, the second once
    EXPECT_EQ(batteryCalls().size(), 3u);
}

TEST(BatteryLevel, IsTheFirstSourcesChargeAsAFraction)
{
    struct Case {
        std::vector<PowerSource> sources;
        float expected;
    };
    const std::vector<Case> cases {
        { { { 57 } }, 0.57f },
        { { { 100 } }, 1.0f },
        { { { 0 } }, 0.0f },
        { { { 104 } }, 1.04f },
        { {}, 0.0f },
        { { { std::nullopt } }, 0.0f },
        { { { 40 }, { 90 } }, 0.40f },
        { { { std::nullopt }, { 90 } }, 0.0f },
    };
    for (const auto& testCase : cases) {
        FakePowerSources power;
        power.sources = testCase.sources;
        EXPECT_EQ(batteryLevel(power), testCase.expected);
    }
}

}
}
