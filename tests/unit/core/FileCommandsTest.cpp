#include "bridge/SecurityResponse.h"
#include "files/FileName.h"
#include "tests/support/ControllerFixture.h"

namespace tessaro::testing {
namespace {

TEST(FileName, OnlyAPlainNameStaysInsideDownloads)
{
    for (const std::string name : { "a.txt", "answers 1.txt", ".hidden", "...", "caf\xc3\xa9.txt", "a\\b", "a:b" })
        EXPECT_TRUE(isPlainFileName(name)) << name;
    for (const std::string& name : Lines { "", ".", "..", "a/b", "../x", "/etc/x", "x/", std::string("a\0b", 3) })
        EXPECT_FALSE(isPlainFileName(name)) << name;
}

class FileCommandsTest : public ControllerFixture {
protected:
    void download(const std::string& url, const std::string& name)
    {
        page().postMessage("download", nlohmann::json { { "url", url }, { "name", name } });
    }

    void save(const std::string& name, const std::string& content)
    {
        page().postMessage("saveFile", nlohmann::json { { "filename", name }, { "content", content } });
    }
};

HttpDownload stored(long status = 200)
{
    return { "/tmp/tessaro-download-1", HttpResponse { status }, {} };
}

TEST_F(FileCommandsTest, AStoredFileIsMovedIntoDownloadsOnceAndAnsweredOnTheMainThread)
{
    download("https://files.test/1", "same.txt");
    download("https://files.test/2", "same.txt");
    ASSERT_EQ(host.http.downloads.size(), 2u);
    host.http.completeDownload(1, stored());
    EXPECT_EQ(host.timesCalled("files.move /tmp/tessaro-download-1 /home/student/Downloads/same.txt"), 1u);
    EXPECT_TRUE(takePageCalls().empty());
    host.clock.advance(0);
    EXPECT_EQ(takePageCalls(), Lines { pageCall("downloaded", "true") });
    host.http.completeDownload(0, stored());
    host.clock.advance(0);
    EXPECT_TRUE(takePageCalls().empty());
    EXPECT_EQ(host.output.lines.back(),
              "file error: Could not move \"/tmp/tessaro-download-1\" to "
              "\"/home/student/Downloads/same.txt\": File exists");
}

TEST_F(FileCommandsTest, WhatCannotBeStoredWritesOneLineAndIsNeverToldToThePage)
{
    download("https://files.test/x", "x");
    host.http.completeDownload(0, { std::nullopt, std::nullopt, "Couldn't connect to server" });
    EXPECT_EQ(host.output.lines.back(), R"({"name":"x","url":"https://files.test/x"})");
    download("https://files.test/x", "x");
    host.http.completeDownload(1, stored(400));
    EXPECT_EQ(host.output.lines.back(),
              "download failed: the server answered https://files.test/x with HTTP status 400");
    host.disk.moveFailure = FileError { "Could not move: Permission denied" };
    download("https://files.test/x", "x");
    host.http.completeDownload(2, stored());
    EXPECT_EQ(host.output.lines.back(), "file error: Could not move: Permission denied");
    download("https://files.test/x", "../escape.txt");
    EXPECT_EQ(host.output.lines.back(), "download refused: \"../escape.txt\" is not a plain file name");
    download("not an address", "fine.txt");
    EXPECT_EQ(host.output.lines.back(), "download refused: \"not an address\" is not a valid address");
    save("../../.bashrc", "x");
    EXPECT_EQ(host.output.lines.back(), "saveFile refused: \"../../.bashrc\" is not a plain file name");
    host.disk.writeFailure = FileError { "Could not save: No space left on device" };
    save("b.txt", "x");
    EXPECT_EQ(host.output.lines.back(), "Could not save: No space left on device");
    host.disk.folder = FileError { "The Downloads folder does not exist" };
    save("c.txt", "x");
    EXPECT_EQ(host.output.lines.back(), "The Downloads folder does not exist");
    download("https://files.test/x", "x");
    host.http.completeDownload(3, stored());
    EXPECT_EQ(host.output.lines.back(), "file error: The Downloads folder does not exist");
    host.clock.advance(0);
    // Each message writes its name, a download its body, then one line at most.
    EXPECT_EQ(host.output.lines.size(), 2u + 3u + 3u + 3u + 3u + 2u + 2u + 2u + 3u);
    EXPECT_TRUE(takePageCalls().empty());
    EXPECT_TRUE(host.disk.written.empty());
}

TEST_F(FileCommandsTest, SavingWritesTheTextAsItCameAndAnswersWithItsAddressEachTime)
{
    const std::string content = "line 1\r\nzwei \xc3\xbc\nSGVsbG8=";
    save("my answers#1.txt", content);
    EXPECT_EQ(host.disk.written.at("/home/student/Downloads/my answers#1.txt"), content);
    save("my answers#1.txt", "");
    EXPECT_EQ(host.disk.written.at("/home/student/Downloads/my answers#1.txt"), "");
    const auto answer = pageCall("fileSaved", "file:///home/student/Downloads/my%20answers%231.txt");
    EXPECT_EQ(takePageCalls(), (Lines { answer, answer }));

    // Long text comes in pieces: a save writes them as they come, "log" escapes them into
    // its line as they come, "security" digests them, and a message that would need it
    // whole ignores it; text that cannot be read is neither saved, logged nor answered.
    const std::string text = "in \"pieces\n\xc2\x85";
    const PageText inPieces = [](const TextPiece& piece) { return piece("in \"") && piece("pieces\n\xc2\x85"); };
    const PageText unreadable = [](const TextPiece& piece) { return piece("half") && false; };
    MessageBody body(nlohmann::json { { "filename", "long.txt" }, { "content", "" } });
    MessageBody whole("");
    MessageBody key(nlohmann::json { { "examkey", "" } });
    MessageBody address(nlohmann::json { { "url", "" }, { "name", "a.txt" } });
    body.longTexts["content"] = whole.longText = key.longTexts["examkey"] = address.longTexts["url"] = inPieces;
    host.output.lines.clear();
    for (const auto& [name, message] :
         { std::pair { "saveFile", &body }, { "log", &body }, { "log", &whole }, { "download", &address } })
        page().postMessage(name, *message);
    page().postMessage("security", key);
    host.clock.advance(0);
    EXPECT_EQ(host.disk.written.at("/home/student/Downloads/long.txt"), text);
    EXPECT_EQ(host.output.lines,
              (Lines { "saveFile", "log", R"({"content":"in \"pieces\n\u0085","filename":"long.txt"})", "log",
                       R"(in "pieces\n\u0085)", "download", "security" }));
    EXPECT_TRUE(host.http.downloads.empty());
    EXPECT_EQ(takePageCalls(),
              (Lines { pageCall("fileSaved", "file:///home/student/Downloads/long.txt"),
                       pageCall("security", securityResponse(text)) }));
    host.output.lines.clear();
    body.longTexts["content"] = whole.longText = key.longTexts["examkey"] = unreadable;
    for (const auto& [name, message] :
         { std::pair { "saveFile", &body }, { "log", &body }, { "log", &whole }, { "security", &key } })
        page().postMessage(name, *message);
    host.clock.advance(0);
    EXPECT_EQ(host.output.lines,
              (Lines { "saveFile", "Could not save \"/home/student/Downloads/long.txt\": the text could not be read",
                       "log", "null", "log", "null", "security" }));
    EXPECT_TRUE(takePageCalls().empty());
}

TEST_F(FileCommandsTest, EachUploadRequestGetsItsOwnChooserAndExactlyOneAnswer)
{
    const auto first = page().requestFile();
    const auto second = page().requestFile();
    ASSERT_EQ(host.choosers.size(), 2u);
    host.choosers[0]("/home/student/essay.pdf");
    host.choosers[1](std::nullopt);
    EXPECT_EQ(first->answers, (std::vector<std::optional<std::string>> { "/home/student/essay.pdf" }));
    EXPECT_EQ(second->answers, (std::vector<std::optional<std::string>> { std::nullopt }));
}

}
}
