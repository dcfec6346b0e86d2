#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <thread>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

using namespace std::chrono_literals;

// The window draws with cairo and the engine paints without the GPU. The reference
// images were taken with GTK's GL renderer and the engine's hardware acceleration, at
// 1280x800 on Xvfb with openbox. The two round the edges of glyphs and rounded corners
// a little differently: a pixel counts as the same within 10 % of the colour range, and
// at most 250 pixels of the screen may differ by more (the two pages differ in 50 and
// 16). A moved line, a missing border or a changed font differ in thousands.
constexpr long differentPixelsAllowed = 250;

const std::filesystem::path referenceFolder = std::filesystem::path(E2E_PAGES_DIR).parent_path() / "rendering";
const std::filesystem::path benchPage
    = std::filesystem::path(E2E_PAGES_DIR).parent_path().parent_path().parent_path() / "bench/pages/bench.html";

class RenderingTest : public ExamTest {
protected:
    // How many pixels of the screen differ from the reference by more than the colour
    // tolerance; the page may still be loading at first, so it looks again for a while.
    long differentPixels(const std::string& reference)
    {
        const std::string shot = folder() + "/" + reference + ".png";
        long different = std::numeric_limits<long>::max();
        for (auto deadline = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(500ms)) {
            m_desktop->screenshot(shot);
            const auto result = m_x->run({ "sh", "-c", "compare -metric AE -fuzz 10% \"$0\" \"$1\" null: 2>&1",
                                           (referenceFolder / (reference + ".png")).string(), shot },
                                         20s);
            // Status 2: no comparison (an image missing or of another size).
            different = result.status <= 1 ? std::strtol(result.output.c_str(), nullptr, 10)
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
    startService();
    startTessaro({ "tessaro://launch/DEMO-KEY-2026" });
    waitForExamWindow();
    EXPECT_LE(differentPixels("demo-exam"), differentPixelsAllowed);
}

TEST_F(RenderingTest, TheBenchExamLooksAsBefore)
{
    startService({ "--launch-page", benchPage.string() });
    startTessaro({ "tessaro://launch/idle" });
    waitForExamWindow();
    EXPECT_LE(differentPixels("bench-exam"), differentPixelsAllowed);
}

}
}
