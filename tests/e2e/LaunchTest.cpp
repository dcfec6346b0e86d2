#include <sys/utsname.h>
#include <thread>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

class LaunchTest : public ExamTest {
protected:
    std::optional<json> waitForRequest(const std::string& path, Seconds timeout = 20s)
    {
        const auto deadline
            = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
        do {
            const auto requests = m_service->requestsFor(path);
            if (!requests.empty())
                return requests.front();
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return std::nullopt;
    }
};

using LaunchOnEachDesktop = OnEachDesktop<LaunchTest>;
INSTANTIATE_TEST_SUITE_P(On, LaunchOnEachDesktop, everyDesktop(), desktopTestName);

TEST_P(LaunchOnEachDesktop, ALaunchLinksKeyArrivesInTheLaunchPagesQuery)
{
    startService();
    startTessaro({ "tessaro://launch/KEY%20with%2Fslash&more" });
    const auto launch = waitForRequest("/native-launch");
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->at("query"), "examkey=KEY%20with%2Fslash%26more");
    EXPECT_EQ(launch->at("params"), (json { { "examkey", "KEY with/slash&more" } }));
    EXPECT_TRUE(waitForOutput("default " + ExamService::origin() + "/fallback"));
}

TEST_F(LaunchTest, EveryPageRequestCarriesTheExactUserAgent)
{
    utsname system {};
    uname(&system);
    int major = 0, minor = 0, patch = 0;
    std::sscanf(system.release, "%d.%d.%d", &major, &minor, &patch);
    const std::string expected = "Mozilla\\/5.0 (Macintosh; Intel Mac OS X " + std::to_string(major) + "_"
        + std::to_string(minor) + "_" + std::to_string(patch) + ") tessaro-macOS app 1.0.0 "
        + "AppleWebKit\\/605.1.15 (KHTML, like Gecko)";

    startService();
    startTessaro();
    ASSERT_TRUE(m_service->waitForReport([](const json& r) { return r.value("kind", "") == "loaded"; }, 20s));
    for (const auto& request : m_service->requests()) {
        if (request.at("path") == "/status.json") {
            EXPECT_NE(request.at("headers").at("User-Agent"), expected) << "the status check is the program's own";
        } else {
            EXPECT_EQ(request.at("headers").at("User-Agent"), expected) << request.at("path");
        }
    }
    const auto loaded = m_service->waitForReport([](const json& r) { return r.value("kind", "") == "loaded"; }, 1s);
    EXPECT_EQ(loaded->at("userAgent"), expected);
}

TEST_F(LaunchTest, FallbackRoutingOpensTheFallbackSiteWithoutTheKey)
{
    startService({ "--status", "fallback" });
    startTessaro({ "tessaro://launch/SECRET-KEY" });
    const auto init = waitForRequest("/fallback/init");
    ASSERT_TRUE(init);
    EXPECT_EQ(init->at("query"), "");
    EXPECT_TRUE(m_service->requestsFor("/native-launch").empty());
    EXPECT_TRUE(waitForOutput("fallback " + ExamService::origin() + "/fallback"));
}

TEST_F(LaunchTest, AnInvalidStatusDocumentEndsInTheDefaultLaunch)
{
    startService({ "--status", "html-404" });
    startTessaro({ "tessaro://launch/K1" });
    const auto launch = waitForRequest("/native-launch");
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->at("query"), "examkey=K1");
    EXPECT_TRUE(waitForOutput("Invalid status document: not JSON"));
}

TEST_F(LaunchTest, AValidDocumentWithAnErrorStatusIsUsed)
{
    startService({ "--status", "valid-500", "--routing", "fallback" });
    startTessaro();
    EXPECT_TRUE(waitForRequest("/fallback/init"));
}

TEST_F(LaunchTest, WithoutTheServiceTheErrorPageShowsAtThirtySeconds)
{
    startTessaro({ "tessaro://launch/OFFLINE" });
    const auto window = waitForExamWindow();
    EXPECT_TRUE(waitForOutput("OFFLINE", 10s)) << "a transport error writes the stored exam key";
    std::this_thread::sleep_for(20s);
    EXPECT_EQ(m_x->windowName(window), "Tessaro");

    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (m_x->windowName(window) == "Tessaro" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(200ms);
    EXPECT_EQ(m_x->windowName(window), "The exam could not be reached \u2014 Tessaro");
    std::this_thread::sleep_for(3s); // the title comes before the first paint
    keepScreenshot("error-page");
}

}
}
