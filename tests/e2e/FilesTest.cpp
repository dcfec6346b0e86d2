#include <algorithm>
#include <filesystem>

#include "tests/e2e/support/ExamTest.h"
#include "tests/e2e/support/Reports.h"

namespace tessaro::e2e {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

class FilesTest : public ExamTest {
protected:
    void startScenario(const std::string& scenario)
    {
        startServiceWithScenarios();
        startTessaro({ "tessaro://launch/" + scenario });
        ASSERT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "loaded"); }, 20s));
    }

    std::vector<std::string> downloadsContent() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(downloads()))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    long linesStartingWith(const std::string& prefix) const
    {
        const auto lines = output();
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); });
    }
};

using FilesOnEachDesktop = OnEachDesktop<FilesTest>;
INSTANTIATE_TEST_SUITE_P(On, FilesOnEachDesktop, everyDesktop(), desktopTestName);

TEST_P(FilesOnEachDesktop, ADownloadLandsInDownloadsAndIsAnswered)
{
    startScenario("download");
    const auto answer = m_service->waitForMessage("downloaded", 15s);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->at("payload"), "true");
    EXPECT_EQ(downloadsContent(), std::vector<std::string> { "e2e-download.txt" });
    EXPECT_EQ(readFile(downloads() + "/e2e-download.txt"), "A small text file from the Tessaro local exam service.\n");
    const auto mode = std::filesystem::status(downloads() + "/e2e-download.txt").permissions();
    EXPECT_NE(mode & std::filesystem::perms::others_read, std::filesystem::perms::none)
        << "a downloaded file is readable like any file the student saves";
}

TEST_F(FilesTest, TwoDownloadsOfOneNameStoreOneFile)
{
    startScenario("download-same-name");
    ASSERT_TRUE(m_service->waitForMessage("downloaded", 15s));
    ASSERT_TRUE(m_tessaro->waitForLine([](const std::string& l) { return l.starts_with("file error: "); }, 15s));
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(m_service->messages("downloaded").size(), 1u);
    EXPECT_EQ(linesStartingWith("file error: "), 1);
    EXPECT_EQ(downloadsContent(), std::vector<std::string> { "same.txt" });
}

TEST_F(FilesTest, ANotFoundPageIsNotADownload)
{
    startScenario("download-404");
    EXPECT_TRUE(waitForOutput("download failed: the server answered " + ExamService::origin()
                              + "/files/missing.txt with HTTP status 404"));
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(downloadsContent().empty());
    EXPECT_TRUE(m_service->messages("downloaded").empty());
}

TEST_P(FilesOnEachDesktop, SavingTwiceReplacesTheFileAndAnswersTwiceWithOneAddress)
{
    startScenario("save-twice");
    ASSERT_TRUE(
        m_service->waitForReport([this](const json&) { return m_service->messages("fileSaved").size() == 2; }, 15s));
    const auto saved = m_service->messages("fileSaved");
    const std::string address = "file://" + downloads() + "/answers%201.txt";
    EXPECT_EQ(saved[0].at("payload"), address);
    EXPECT_EQ(saved[1].at("payload"), address);
    EXPECT_EQ(readFile(downloads() + "/answers 1.txt"), "second");
    EXPECT_EQ(downloadsContent(), std::vector<std::string> { "answers 1.txt" });
}

TEST_F(FilesTest, NamesThatLeaveDownloadsWriteNothingAnywhere)
{
    startScenario("traversal");
    ASSERT_TRUE(m_service->waitForReport([](const json& r) { return isKind(r, "traversal-posted"); }, 15s));
    std::this_thread::sleep_for(2s);
    EXPECT_TRUE(downloadsContent().empty());
    EXPECT_FALSE(exists(home() + "/escape.txt"));
    EXPECT_FALSE(exists("/tmp/tessaro-e2e-absolute.txt"));
    EXPECT_FALSE(exists(downloads() + "/sub"));
    EXPECT_EQ(linesStartingWith("saveFile refused: "), 5);
    EXPECT_EQ(linesStartingWith("download refused: "), 5);
    EXPECT_TRUE(m_service->messages("fileSaved").empty());
    EXPECT_TRUE(m_service->messages("downloaded").empty());
}

TEST_P(FilesOnEachDesktop, TheFileInputReceivesOneFileThroughTheChooser)
{
    const std::string chosen = folder() + "/essay.txt";
    writeFile(chosen, "my essay");
    startScenario("probe");
    const auto window = waitForExamWindow();
    m_desktop->click(window, 170, 50, 1);
    const auto chooser = m_desktop->waitForDialog("Open", 20s);
    ASSERT_TRUE(chooser) << "the chooser opened above the full-screen exam";
    std::this_thread::sleep_for(1s);
    keepScreenshot("upload-chooser-" + desktopName(desktopKind()));
    m_desktop->key(*chooser, "ctrl+l");
    m_desktop->type(*chooser, chosen);
    std::this_thread::sleep_for(1s);
    m_desktop->key(*chooser, "Return");
    const auto report = m_service->waitForReport([](const json& r) { return isKind(r, "chosen"); }, 15s);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->at("files"), json::array({ { { "name", "essay.txt" }, { "size", 8 } } }));
}

TEST_F(FilesTest, CancellingTheChooserLeavesTheInputEmpty)
{
    startScenario("probe");
    const auto window = waitForExamWindow();
    m_x->click(window, 170, 50, 1);
    const auto chooser = m_x->waitForWindowNamed("^Open$", 20s);
    ASSERT_TRUE(chooser);
    std::this_thread::sleep_for(1500ms);
    m_x->key(*chooser, "Escape");
    EXPECT_TRUE(m_x->waitForNoWindowNamed("^Open$", 10s));
    // A second request gets a chooser of its own: the first was answered.
    m_x->click(window, 170, 50, 1);
    EXPECT_TRUE(m_x->waitForWindowNamed("^Open$", 20s));
    EXPECT_FALSE(m_service->waitForReport([](const json& r) { return isKind(r, "chosen"); }, 1s));
}

}
}
