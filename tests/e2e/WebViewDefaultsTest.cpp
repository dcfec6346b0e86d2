#include <thread>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

class WebViewDefaultsTest : public ExamTest {
protected:
    // The page's getUserMedia() once the student answered its prompt with the key.
    std::optional<json> answerTheCameraPrompt(const std::string& keys)
    {
        // WebKit's stand-in camera and microphone: this machine has neither.
        startScenario("camera", { { "TESSARO_MOCK_CAPTURE_DEVICES", "1" } });
        const auto prompt = call("dialog", { { "title", "Camera and microphone" } });
        if (prompt.is_null())
            return std::nullopt;
        std::this_thread::sleep_for(1500ms);
        keepScreenshot("camera-prompt");
        call("key", { { "window", prompt }, { "keys", keys } });
        return waitForReport({ { "kind", "media" } }, 15s);
    }
};

TEST_F(WebViewDefaultsTest, TheStudentAllowsTheCameraAndMicrophone)
{
    const auto result = answerTheCameraPrompt("alt+a");
    ASSERT_TRUE(result) << "the page's request is put to the student";
    EXPECT_EQ(result->at("result"), "stream");
    EXPECT_EQ(result->at("liveTracks"), 2);
}

TEST_F(WebViewDefaultsTest, TheStudentRefusesTheCameraAndMicrophone)
{
    const auto result = answerTheCameraPrompt("alt+n");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->at("result"), "NotAllowedError");
}

}
}
