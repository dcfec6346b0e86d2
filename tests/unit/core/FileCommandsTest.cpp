#include "files/FileName.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

using nlohmann::json;

TEST(FileName, OnlyAPlainNameStaysInsideDownloads)
{
    for (const std::string name : { "a.txt", "answers 1.txt", ".hidden", "...", "caf\xc3\xa9.txt", "a\\b", "a:b" })
        EXPECT_TRUE(isPlainFileName(name)) << name;
    for (const std::string& name :
         std::vector<std::string> { "", ".", "..", "a/b", "../x", "/etc/x", "x/", std::string("a\0b", 3) })
        EXPECT_FALSE(isPlainFileName(name)) << name;
}

class DownloadTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        loadView();
        host.output.lines.clear();
    }

    void download(const std::string& url, const std::string& name)
    {
        page().postMessage("download", { { "url", url }, { "name", name } });
    }

    static HttpDownload stored(long status = 200) { return { "/tmp/tessaro-download-1", HttpResponse { status }, {} }; }
};

TEST_F(DownloadTest, AStoredFileIsMovedIntoDownloadsAndAnsweredOnTheMainThread)
{
    download("https://files.test/a.pdf", "a.pdf");
    ASSERT_EQ(host.http.downloads.size(), 1u);
    host.http.completeDownload(0, stored());
    EXPECT_NE(host.calls.indexOf("files.move /tmp/tessaro-download-1 /home/student/Downloads/a.pdf"), -1);
    EXPECT_TRUE(takePageCalls().empty());
    host.clock.runPostedWork();
    EXPECT_EQ(takePageCalls(), std::vector<std::string> { pageCall("downloaded", "true") });
}

TEST_F(DownloadTest, TwoDownloadsOfOneNameStoreOneFile)
{
    download("https://files.test/1", "same.txt");
    download("https://files.test/2", "same.txt");
    host.http.completeDownload(1, stored());
    host.http.completeDownload(0, stored());
    host.clock.runPostedWork();
    EXPECT_EQ(takePageCalls().size(), 1u);
    EXPECT_EQ(host.output.lines.back(),
              "file error: Could not move \"/tmp/tessaro-download-1\" to "
              "\"/home/student/Downloads/same.txt\": File exists");
}

TEST_F(DownloadTest, FailuresAreNeverToldToThePage)
{
    struct Case {
        const char* what;
        HttpDownload result;
        std::optional<FileError> folderError;
        std::optional<FileError> moveError;
        std::vector<std::string> expectedLines;
    };
    const std::vector<Case> cases {
        { "no file", { std::nullopt, std::nullopt, "Couldn't connect to server" }, {}, {}, {} },
        { "not found",
          stored(404),
          {},
          {},
          { "download failed: the server answered https://files.test/x with HTTP status 404" } },
        { "server error",
          stored(500),
          {},
          {},
          { "download failed: the server answered https://files.test/x with HTTP status 500" } },
        { "no Downloads folder",
          stored(),
          FileError { "The Downloads folder \"/h/Downloads\" does not exist" },
          {},
          { "file error: The Downloads folder \"/h/Downloads\" does not exist" } },
        { "move fails",
          stored(),
          {},
          FileError { "Could not move: Permission denied" },
          { "file error: Could not move: Permission denied" } },
    };
    for (const auto& testCase : cases) {
        FakeHost host;
        const std::string examKey;
        ViewController controller(host, testEndpoints, examKey);
        controller.loadView(host.window);
        if (testCase.folderError)
            host.disk.folder = *testCase.folderError;
        host.disk.moveFailure = testCase.moveError;
        host.webView->postMessage("download", { { "url", "https://files.test/x" }, { "name", "x" } });
        host.output.lines.clear();
        host.http.completeDownload(0, testCase.result);
        host.clock.runPostedWork();
        EXPECT_TRUE(host.webView->scripts.empty()) << testCase.what;
        EXPECT_EQ(host.output.lines, testCase.expectedLines) << testCase.what;
    }
}

TEST_F(DownloadTest, NamesAndAddressesThatDoNotFitAreRefusedWithOneLine)
{
    download("https://files.test/x", "../escape.txt");
    download("https://files.test/x", "");
    download("not an address", "fine.txt");
    EXPECT_TRUE(host.http.downloads.empty());
    const std::vector<std::string> expected {
        "download",
        R"({"name":"../escape.txt","url":"https://files.test/x"})",
        "download refused: \"../escape.txt\" is not a plain file name",
        "download",
        R"({"name":"","url":"https://files.test/x"})",
        "download refused: \"\" is not a plain file name",
        "download",
        R"({"name":"fine.txt","url":"not an address"})",
        "download refused: \"not an address\" is not a valid address",
    };
    EXPECT_EQ(host.output.lines, expected);
}

class SaveFileTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        loadView();
        host.output.lines.clear();
    }

    void save(const json& body) { page().postMessage("saveFile", body); }
};

TEST_F(SaveFileTest, TheContentIsWrittenAsItCameAndAnsweredWithItsAddress)
{
    const std::string content = "line 1\r\nzwei \xc3\xbc\n"
                                "SGVsbG8=";
    save({ { "filename", "my answers.txt" }, { "content", content }, { "other", "ignored" } });
    EXPECT_EQ(host.disk.written.at("/home/student/Downloads/my answers.txt"), content);
    EXPECT_EQ(takePageCalls(),
              std::vector<std::string> { pageCall("fileSaved", "file:///home/student/Downloads/my%20answers.txt") });
}

TEST_F(SaveFileTest, SavingTwiceReplacesAndAnswersTwiceWithTheSameAddress)
{
    save({ { "filename", "a.txt" }, { "content", "first" } });
    save({ { "filename", "a.txt" }, { "content", "" } });
    EXPECT_EQ(host.disk.written.at("/home/student/Downloads/a.txt"), "");
    const auto calls = takePageCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], calls[1]);
}

TEST_F(SaveFileTest, WhatCannotBeSavedWritesOneLineAndSendsNothing)
{
    save({ { "filename", "a.txt" } });
    save({ { "content", "x" } });
    save({ { "filename", "../../.bashrc" }, { "content", "x" } });
    save({ { "filename", "." }, { "content", "x" } });
    host.disk.writeFailure = FileError { "Could not save \"/home/student/Downloads/b.txt\": No space left on device" };
    save({ { "filename", "b.txt" }, { "content", "x" } });
    host.disk.folder = FileError { "The Downloads folder \"/home/student/Downloads\" does not exist" };
    save({ { "filename", "c.txt" }, { "content", "x" } });

    EXPECT_TRUE(takePageCalls().empty());
    EXPECT_TRUE(host.disk.written.empty());
    const std::vector<std::string> expected {
        "saveFile", "saveFile ignored: the message needs both \"filename\" and \"content\"",
        "saveFile", "saveFile ignored: the message needs both \"filename\" and \"content\"",
        "saveFile", "saveFile refused: \"../../.bashrc\" is not a plain file name",
        "saveFile", "saveFile refused: \".\" is not a plain file name",
        "saveFile", "Could not save \"/home/student/Downloads/b.txt\": No space left on device",
        "saveFile", "The Downloads folder \"/home/student/Downloads\" does not exist",
    };
    EXPECT_EQ(host.output.lines, expected);
}

using UploadChooserTest = ControllerFixture;

TEST_F(UploadChooserTest, EachRequestGetsItsOwnChooserAndExactlyOneAnswer)
{
    loadView();
    const auto first = page().requestFile();
    const auto second = page().requestFile();
    EXPECT_EQ(host.chooser.open.size(), 2u);
    host.chooser.choose("/home/student/essay.pdf");
    host.chooser.choose(std::nullopt);
    EXPECT_EQ(first->answers, (std::vector<std::optional<std::string>> { "/home/student/essay.pdf" }));
    EXPECT_EQ(second->answers, (std::vector<std::optional<std::string>> { std::nullopt }));
}

}
}
