#include <fstream>
#include <thread>

#include "tests/e2e/support/ExamTest.h"

namespace tessaro::e2e {
namespace {

using FilesTest = ExamTest;
using FilesOnEachDesktop = OnEachDesktop<FilesTest>;
INSTANTIATE_TEST_SUITE_P(On, FilesOnEachDesktop, everyDesktop(), desktopTestName);

TEST_P(FilesOnEachDesktop, ADownloadLandsInDownloadsAndIsAnswered)
{
    startScenario("download");
    const auto answer = waitForMessage("downloaded", 15s);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->at("payload"), "true");
    EXPECT_EQ(run({ "ls", downloads() }), "e2e-download.txt\n");
    EXPECT_EQ(run({ "cat", downloads() + "/e2e-download.txt" }),
              "A small text file from the Tessaro local exam service.\n");
    EXPECT_EQ(run({ "stat", "-c", "%A", downloads() + "/e2e-download.txt" }).substr(7, 1), "r")
        << "a downloaded file is readable like any file the student saves";
}

TEST_F(FilesTest, ADownloadThatFailsOnTheNetworkSaysWhyAndLeavesNothing)
{
    startScenario("download-refused");
    const auto failed = lines("download failed: http://127.0.0.1:1/answers.txt: Failed to connect", true, 15s);
    EXPECT_EQ(failed.size(), 1u);
    EXPECT_FALSE(waitForMessage("downloaded", 0s));
    EXPECT_EQ(run({ "sh", "-c", "ls -A \"$HOME/Downloads\"; ls -A \"$TMPDIR\"" }), "");
}

TEST_P(FilesOnEachDesktop, SavingTwiceReplacesTheFileAndAnswersTwiceWithOneAddress)
{
    startScenario("save-twice");
    const auto saved = reports({ { "kind", "message" }, { "name", "fileSaved" } }, 2, 15s);
    ASSERT_EQ(saved.size(), 2u);
    const std::string address = "file://" + downloads() + "/answers%201.txt";
    EXPECT_EQ(saved[0].at("payload"), address);
    EXPECT_EQ(saved[1].at("payload"), address);
    const std::string file = downloads() + "/answers 1.txt";
    EXPECT_EQ(run({ "sh", "-c", "head -c 7 \"$0\"; wc -c <\"$0\"; tail -c 4 \"$0\"", file }),
              "second!2400007\n\xf0\x9f\x98\x80");
    EXPECT_EQ(run({ "ls", downloads() }), "answers 1.txt\n");
}

TEST_P(FilesOnEachDesktop, TheFileInputReceivesOneFileThroughTheChooser)
{
    const std::string chosen = m_folder + "/essay.txt";
    std::ofstream(chosen) << "my essay";
    startScenario("probe");
    call("window");
    call("click", { { "x", 170 }, { "y", 50 }, { "button", 1 } });
    const auto chooser = call("dialog", { { "title", "Open" } });
    ASSERT_FALSE(chooser.is_null()) << "the chooser opened above the full-screen exam";
    std::this_thread::sleep_for(1s);
    keepScreenshot("upload-chooser-" + desktop());
    call("key", { { "window", chooser }, { "keys", "ctrl+l" } });
    call("type", { { "window", chooser }, { "text", chosen } });
    std::this_thread::sleep_for(1s);
    call("key", { { "window", chooser }, { "keys", "Return" } });
    const auto report = waitForReport({ { "kind", "chosen" } }, 15s);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->at("files"), json::array({ { { "name", "essay.txt" }, { "size", 8 } } }));
}

}
}
