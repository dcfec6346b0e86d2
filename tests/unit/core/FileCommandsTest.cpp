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

void postDownload(FakeWebView& page, const std::string& url, const std::string& name)
{
    page.postMessage("download", nlohmann::json { { "url", url }, { "name", name } });
}

void postSave(FakeWebView& page, const std::string& name, const std::string& content)
{
    page.postMessage("saveFile", nlohmann::json { { "filename", name }, { "content", content } });
}

class FileCommandsTest : public ControllerFixture {
protected:
    void download(const std::string& url, const std::string& name) { postDownload(page(), url, name); }
    void save(const std::string& name, const std::string& content) { postSave(page(), name, content); }
};

HttpDownload stored(long status = 200)
{
    return { "/tmp/tessaro-download-1", HttpResponse { status }, {} };
}

HttpDownload failed(const std::string& reason)
{
    return { std::nullopt, std::nullopt, reason };
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
              "download failed: Could not move \"/tmp/tessaro-download-1\" to "
              "\"/home/student/Downloads/same.txt\": File exists");
}

// Each way a download of x.txt or a save of x.txt fails, as the host reports it: one line
// with the reason after the message's own (a download's name and body, a save's name),
// nothing written, nothing sent to the page.
TEST(FileCommandFailures, EachWritesOneLineWithItsReasonAndThePageHearsNothing)
{
    const FileError noRoom { "No space left on device" };
    const FileError noFolder { "The Downloads folder does not exist" };
    const std::string failedDownload = "download failed: https://files.test/x: ";
    struct Failure {
        std::optional<HttpDownload> ending; // how the download ended; none for a save
        std::string line;
        std::optional<FileError> move = {}, write = {};
        PathOrError folder = std::string("/home/student/Downloads");
    };
    const Failure failures[] = {
        { failed("Couldn't connect to server"), failedDownload + "Couldn't connect to server" },
        { failed("forged\nline"), failedDownload + "forged\\nline" },
        { stored(400), "download failed: the server answered https://files.test/x with HTTP status 400" },
        { stored(), "download failed: No space left on device", noRoom },
        { stored(), "download failed: The Downloads folder does not exist", {}, {}, noFolder },
        { {}, "saveFile failed: No space left on device", {}, noRoom },
        { {}, "saveFile failed: The Downloads folder does not exist", {}, {}, noFolder },
    };
    for (const auto& failure : failures) {
        ExamView exam;
        exam.loadView();
        exam.host.disk.moveFailure = failure.move;
        exam.host.disk.writeFailure = failure.write;
        exam.host.disk.folder = failure.folder;
        const auto before = exam.host.output.lines.size();
        if (failure.ending) {
            postDownload(exam.page(), "https://files.test/x", "x.txt");
            exam.host.http.completeDownload(0, *failure.ending);
        } else {
            postSave(exam.page(), "x.txt", "text");
        }
        exam.host.clock.advance(0);
        EXPECT_EQ(exam.host.output.lines.size() - before, failure.ending ? 3u : 2u) << failure.line;
        EXPECT_EQ(exam.host.output.lines.back(), failure.line);
        EXPECT_TRUE(exam.takePageCalls().empty()) << failure.line;
        EXPECT_TRUE(exam.host.disk.written.empty()) << failure.line;
    }
}

TEST_F(FileCommandsTest, WhatIsNotAPlainNameOrAnAddressIsRefusedBeforeAnyRequest)
{
    download("https://files.test/x", "../escape.txt");
    download("not an address", "fine.txt");
    save("../../.bashrc", "x");
    EXPECT_TRUE(host.http.downloads.empty());
    std::erase_if(host.output.lines,
                  [](const std::string& line) { return line.find(" refused: ") == std::string::npos; });
    EXPECT_EQ(host.output.lines,
              (Lines { "download refused: \"../escape.txt\" is not a plain file name",
                       "download refused: \"not an address\" is not a valid address",
                       "saveFile refused: \"../../.bashrc\" is not a plain file name" }));
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
    // whole ignores it; text that cannot be read is neither saved, logged nor answered. A
    // message that waits behind a report takes its texts out of the engine when posted.
    const std::string text = "in \"pieces\n\xc2\x85";
    const PageText unreadable = [](const TextPiece& piece) { return piece("half") && false; };
    MessageBody body(nlohmann::json { { "filename", "long.txt" }, { "content", "" } });
    MessageBody whole("");
    MessageBody key(nlohmann::json { { "examkey", "" } });
    MessageBody address(nlohmann::json { { "url", "" }, { "name", "a.txt" } });
    for (const bool behindAReport : { false, true }) {
        bool inTheEngine = true;
        const PageText inPieces = [&inTheEngine](const TextPiece& piece) {
            return inTheEngine && piece("in \"") && piece("pieces\n\xc2\x85");
        };
        body.longTexts["content"] = whole.longText = key.longTexts["examkey"] = address.longTexts["url"] = inPieces;
        host.output.lines.clear();
        host.disk.written.clear();
        if (behindAReport)
            page().postMessage("processes", nlohmann::json());
        for (const auto& [name, message] :
             { std::pair { "saveFile", &body }, { "log", &body }, { "log", &whole }, { "download", &address } })
            page().postMessage(name, *message);
        page().postMessage("security", key);
        inTheEngine = false;
        host.clock.advance(0);
        EXPECT_EQ(host.disk.written.at("/home/student/Downloads/long.txt"), text);
        // Behind a report, each name is written when posted, the lines it carries when its turn comes.
        const std::string object = R"({"content":"in \"pieces\n\u0085","filename":"long.txt"})";
        const std::string escaped = R"(in "pieces\n\u0085)";
        const std::string ignored = "Message ignored: a member is over a million characters long";
        const Lines lines = behindAReport
            ? Lines { "processes", "saveFile", "log", "log", "download", ignored, "security", object, escaped }
            : Lines { "saveFile", "log", object, "log", escaped, "download", ignored, "security" };
        Lines pageCalls { pageCall("fileSaved", "file:///home/student/Downloads/long.txt"),
                          pageCall("security", securityResponse(text)) };
        if (behindAReport)
            pageCalls.insert(pageCalls.begin(), pageCall("processes", "[]"));
        EXPECT_EQ(host.output.lines, lines) << behindAReport;
        EXPECT_TRUE(host.http.downloads.empty());
        EXPECT_EQ(takePageCalls(), pageCalls) << behindAReport;
    }
    host.output.lines.clear();
    body.longTexts["content"] = whole.longText = key.longTexts["examkey"] = unreadable;
    for (const auto& [name, message] :
         { std::pair { "saveFile", &body }, { "log", &body }, { "log", &whole }, { "security", &key } })
        page().postMessage(name, *message);
    host.clock.advance(0);
    EXPECT_EQ(
        host.output.lines,
        (Lines { "saveFile",
                 "saveFile failed: Could not save \"/home/student/Downloads/long.txt\": the text could not be read",
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
