#include <cstdlib>
#include <limits>
#include <string>
#include <thread>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

// The window draws with cairo and the engine paints without the GPU. The reference
// images were taken with GTK's GL renderer and the engine's hardware acceleration, at
// 1280x800 on Xvfb with openbox. The two round the edges of glyphs and rounded corners
// a little differently: a pixel counts as the same within 10 % of the colour range, and
// at most 250 pixels of the screen may differ by more (the two pages differ in 50 and
// 16). A moved line, a missing border or a changed font differ in thousands.
constexpr long differentPixelsAllowed = 250;

class RenderingTest : public ExamTest {
protected:
    // How many pixels of the screen differ from the reference by more than the colour
    // tolerance; the page may still be loading at first, so it looks again for a while.
    long differentPixels(const std::string& reference)
    {
        const std::string shot = m_folder + "/" + reference + ".png";
        long different = std::numeric_limits<long>::max();
        for (auto deadline = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(500ms)) {
            call("screenshot", { { "path", shot } });
            const auto result = call("run",
                                     { { "argv",
                                         { "sh", "-c", "compare -metric AE -fuzz 10% \"$0\" \"$1\" null: 2>&1",
                                           E2E_DIR "/rendering/" + reference + ".png", shot } } });
            // Status 2: no comparison (an image missing or of another size).
            different = result["status"] <= 1 ? static_cast<long>(std::stod(result["output"].get<std::string>()))
                                              : std::numeric_limits<long>::max();
            if (different <= differentPixelsAllowed)
                break;
        }
        keepScreenshot("rendering-" + reference);
        return different;
    }
};

TEST_F(RenderingTest, TheDemoExamLooksAsBefore)
{
    call("service");
    startTessaro({ "tessaro://launch/DEMO-KEY-2026" });
    call("window");
    EXPECT_LE(differentPixels("demo-exam"), differentPixelsAllowed);
}

TEST_F(RenderingTest, TheBenchExamLooksAsBefore)
{
    call("service", { { "options", { "--launch-page", E2E_DIR "/../../bench/pages/bench.html" } } });
    startTessaro({ "tessaro://launch/idle" });
    call("window");
    EXPECT_LE(differentPixels("bench-exam"), differentPixelsAllowed);
}

}
}
