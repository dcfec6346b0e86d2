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

// Each way a download or a save fails, as the host reports it: one line with the reason
// after the message's own lines (a download's name and body, a save's name), nothing
// written, nothing sent to the page.
TEST(FileCommandFailures, EachWritesOneLineWithItsReasonAndThePageHearsNothing)
{
    const std::string url = "https://files.test/x";
    const FileError noRoom { "Could not save \"/home/student/Downloads/x.txt\": No space left on device" };
    const FileError noFolder { "The Downloads folder \"/home/student/Downloads\" does not exist" };
    const auto downloadEnding = [&url](std::optional<HttpDownload> ending, const std::string& name = "x.txt") {
        return [=](ExamView& exam) {
            postDownload(exam.page(), url, name);
            if (ending)
                exam.host.http.completeDownload(0, *ending);
        };
    };
    const auto save = [](const std::string& name = "x.txt") {
        return [=](ExamView& exam) { postSave(exam.page(), name, "text"); };
    };
    const auto withDisk = [](auto change, auto act) {
        return [=](ExamView& exam) {
            change(exam.host.disk);
            act(exam);
        };
    };
    const std::pair<std::function<void(ExamView&)>, std::string> failures[] = {
        { downloadEnding(failed("Failed to connect to files.test port 443 after 0 ms: Couldn't connect to server")),
          "download failed: " + url + ": Failed to connect to files.test port 443 after 0 ms: Couldn't connect to server" },
        { downloadEnding(failed("Could not resolve host: files.test")),
          "download failed: " + url + ": Could not resolve host: files.test" },
        { downloadEnding(failed("SSL certificate problem: self-signed certificate")),
          "download failed: " + url + ": SSL certificate problem: self-signed certificate" },
        { downloadEnding(failed("could not write the temporary file /tmp/tessaro-download-1: No space left on device")),
          "download failed: " + url
              + ": could not write the temporary file /tmp/tessaro-download-1: No space left on device" },
        { downloadEnding(failed("a reason\nwith a forged line")),
          "download failed: " + url + ": a reason\\nwith a forged line" },
        { downloadEnding(stored(404)), "download failed: the server answered " + url + " with HTTP status 404" },
        { withDisk([](FakeFiles& disk) { disk.moveFailure = FileError { "Could not move: No space left on device" }; },
                   downloadEnding(stored())),
          "download failed: Could not move: No space left on device" },
        { withDisk([&](FakeFiles& disk) { disk.folder = noFolder; }, downloadEnding(stored())),
          "download failed: " + noFolder.description },
        { downloadEnding(std::nullopt, "../escape.txt"), "download refused: \"../escape.txt\" is not a plain file name" },
        { [](ExamView& exam) { postDownload(exam.page(), "not an address", "x.txt"); },
          "download refused: \"not an address\" is not a valid address" },
        { withDisk([&](FakeFiles& disk) { disk.writeFailure = noRoom; }, save()), "saveFile failed: " + noRoom.description },
        { withDisk([&](FakeFiles& disk) { disk.folder = noFolder; }, save()), "saveFile failed: " + noFolder.description },
        { save("../../.bashrc"), "saveFile refused: \"../../.bashrc\" is not a plain file name" },
    };
    for (const auto& [fail, line] : failures) {
        ExamView exam;
        exam.loadView();
        const auto before = exam.host.output.lines.size();
        fail(exam);
        exam.host.clock.advance(0);
        const Lines written(exam.host.output.lines.begin() + before, exam.host.output.lines.end());
        ASSERT_FALSE(written.empty()) << line;
        EXPECT_EQ(written.size(), written.front() == "download" ? 3u : 2u) << line;
        EXPECT_EQ(written.back(), line);
        EXPECT_TRUE(exam.takePageCalls().empty()) << line;
        EXPECT_TRUE(exam.host.disk.written.empty()) << line;
    }
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

    // Long text comes in pieces: a save writes them as they come, any other message
    // reads them whole first; text that cannot be read is neither saved nor logged.
    MessageBody body(nlohmann::json { { "filename", "long.txt" }, { "content", "" } });
    body.longTexts["content"] = [](const TextPiece& piece) { return piece("in ") && piece("pieces"); };
    page().postMessage("saveFile", body);
    page().postMessage("log", body);
    EXPECT_EQ(host.disk.written.at("/home/student/Downloads/long.txt"), "in pieces");
    EXPECT_EQ(host.output.lines.back(), R"({"content":"in pieces","filename":"long.txt"})");
    body.longTexts["content"] = [](const TextPiece& piece) { return piece("half") && false; };
    page().postMessage("saveFile", body);
    EXPECT_EQ(host.output.lines.back(),
              "saveFile failed: Could not save \"/home/student/Downloads/long.txt\": the text could not be read");
    page().postMessage("log", body);
    EXPECT_EQ(host.output.lines.back(), "null");
    EXPECT_EQ(takePageCalls(), Lines { pageCall("fileSaved", "file:///home/student/Downloads/long.txt") });
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
