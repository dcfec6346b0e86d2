#include <thread>

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

TEST_F(LaunchTest, WithoutTheServiceTheErrorPageShowsAtThirtySeconds)
{
    startTessaro({ "tessaro://launch/OFFLINE" });
    call("window");
    EXPECT_TRUE(waitForOutput("OFFLINE", 10s)) << "a transport error writes the stored exam key";
    std::this_thread::sleep_for(20s);
    EXPECT_EQ(call("title"), "Tessaro");
    const std::string errorTitle = "The exam could not be reached \u2014 Tessaro";
    EXPECT_EQ(call("title", { { "until", errorTitle }, { "timeout", 20 } }), errorTitle);
    std::this_thread::sleep_for(3s); // the title comes before the first paint
    keepScreenshot("error-page");
}

}
}
