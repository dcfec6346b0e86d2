#include <filesystem>

#include "tests/e2e/support/ExamTest.h"
#include "tests/e2e/support/Reports.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

class WebViewDefaultsTest : public ExamTest {
protected:
    void startScenario(const std::string& scenario)
    {
        startServiceWithScenarios();
        // WebKit's stand-in camera and microphone: this machine has neither.
        startTessaro({ "tessaro://launch/" + scenario }, { { "TESSARO_MOCK_CAPTURE_DEVICES", "1" } });
        ASSERT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "loaded"); }, 20s));
    }

    std::optional<json> mediaResult() const
    {
        return m_service->waitForReport([](const json& r) { return isKind(r, "media"); }, 15s);
    }
};

TEST_F(WebViewDefaultsTest, TheStudentAllowsTheCameraAndMicrophone)
{
    startScenario("camera");
    const auto prompt = m_x->waitForWindowNamed("^Camera and microphone$", 20s);
    ASSERT_TRUE(prompt) << "the page's request is put to the student";
    std::this_thread::sleep_for(1s);
    keepScreenshot("camera-prompt");
    m_x->key(*prompt, "alt+a");
    const auto result = mediaResult();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->at("result"), "stream");
    EXPECT_EQ(result->at("liveTracks"), 2);
}

TEST_F(WebViewDefaultsTest, TheStudentRefusesTheCameraAndMicrophone)
{
    startScenario("camera");
    const auto prompt = m_x->waitForWindowNamed("^Camera and microphone$", 20s);
    ASSERT_TRUE(prompt);
    std::this_thread::sleep_for(1500ms);
    m_x->key(*prompt, "alt+n");
    const auto result = mediaResult();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->at("result"), "NotAllowedError");
}

TEST_F(WebViewDefaultsTest, OtherPermissionsAreDeniedWithoutAsking)
{
    startScenario("geolocation");
    const auto result = m_service->waitForReport([](const json& r) { return isKind(r, "geolocation"); }, 15s);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->at("result"), 1) << "PERMISSION_DENIED";
    EXPECT_TRUE(m_x->run({ "xdotool", "search", "--onlyvisible", "--name", "Camera" }).output.empty());
}

TEST_F(WebViewDefaultsTest, PrintingOpensNothing)
{
    startScenario("print");
    ASSERT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "printed"); }, 15s));
    std::this_thread::sleep_for(1s);
    const auto windows = m_x->run({ "xdotool", "search", "--onlyvisible", "--pid", std::to_string(m_tessaro->pid()) });
    EXPECT_EQ(std::count(windows.output.begin(), windows.output.end(), '\n'), 1) << "only the exam window";
}

TEST_F(WebViewDefaultsTest, AResponseTheViewCannotShowIsNotDownloaded)
{
    startScenario("attachment");
    EXPECT_TRUE(
        waitForOutput("Not saving what the web view cannot show: " + ExamService::origin() + "/files/attachment.txt"));
    ASSERT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "still-here"); }, 15s))
        << "the exam page stays";
    EXPECT_TRUE(std::filesystem::is_empty(downloads()));
}

}
}
