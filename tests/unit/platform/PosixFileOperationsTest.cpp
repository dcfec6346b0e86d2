#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

#include "platform/posix/PosixFileOperations.h"
#include "tests/unit/platform/TemporaryFolder.h"

namespace tessaro {
namespace {

using Names = std::vector<std::string>;

std::string errorOf(const std::optional<FileError>& error)
{
    return error ? error->description : "no error";
}

mode_t modeOf(const std::string& path)
{
    struct stat status { };
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST(MoveFileWithoutReplacing, MovesIntoAFreeName)
{
    TemporaryFolder folder;
    folder.write("download.part", "exam notes");

    EXPECT_EQ(moveFileWithoutReplacing(folder / "download.part", folder / "notes.txt"), std::nullopt);
    EXPECT_EQ(folder.entries(), (Names { "notes.txt" }));
    EXPECT_EQ(fileContent(folder / "notes.txt"), "exam notes");
}

TEST(MoveFileWithoutReplacing, NeverReplacesAnExistingName)
{
    TemporaryFolder folder;
    folder.write("new", "new content");
    folder.write("taken", "old content");
    folder.makeFolder("taken-folder");

    EXPECT_EQ(errorOf(moveFileWithoutReplacing(folder / "new", folder / "taken")),
              "Could not move \"" + folder / "new" + "\" to \"" + folder / "taken" + "\": File exists");
    EXPECT_NE(moveFileWithoutReplacing(folder / "new", folder / "taken-folder"), std::nullopt);
    EXPECT_EQ(folder.entries(), (Names { "new", "taken", "taken-folder" }));
    EXPECT_EQ(fileContent(folder / "new"), "new content");
    EXPECT_EQ(fileContent(folder / "taken"), "old content");
}

TEST(MoveFileWithoutReplacing, AMissingSourceOrFolderIsAnError)
{
    TemporaryFolder folder;
    folder.write("file", "x");
    EXPECT_EQ(errorOf(moveFileWithoutReplacing(folder / "absent", folder / "to")),
              "Could not move \"" + folder / "absent" + "\" to \"" + folder / "to" + "\": No such file or directory");
    EXPECT_NE(moveFileWithoutReplacing(folder / "file", folder / "no-folder/file"), std::nullopt);
    EXPECT_EQ(folder.entries(), (Names { "file" }));
}

// The download's temporary file may live on another file system than the Downloads folder.
class AcrossFileSystems : public ::testing::Test {
protected:
    void SetUp() override
    {
        struct stat shm { };
        struct stat destination { };
        if (::stat("/dev/shm", &shm) != 0 || ::stat(m_target.path().c_str(), &destination) != 0
            || shm.st_dev == destination.st_dev)
            GTEST_SKIP() << "/dev/shm is not a file system of its own here";
        m_source.emplace("/dev/shm");
    }

    TemporaryFolder m_target;
    std::optional<TemporaryFolder> m_source;
};

TEST_F(AcrossFileSystems, CopiesTheBytesAndRemovesTheSource)
{
    std::string content(3 * 65536 + 17, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 % 251);
    m_source->write("download", content);
    ::chmod((*m_source / "download").c_str(), 0640);

    EXPECT_EQ(moveFileWithoutReplacing(*m_source / "download", m_target / "paper.pdf"), std::nullopt);
    EXPECT_EQ(m_target.entries(), (Names { "paper.pdf" }));
    EXPECT_EQ(m_source->entries(), Names {});
    EXPECT_EQ(fileContent(m_target / "paper.pdf"), content);
    EXPECT_EQ(modeOf(m_target / "paper.pdf"), 0640u);
}

TEST_F(AcrossFileSystems, NeverReplacesAndLeavesNoHiddenFile)
{
    m_source->write("download", "new");
    m_target.write("paper.pdf", "old");

    EXPECT_EQ(errorOf(moveFileWithoutReplacing(*m_source / "download", m_target / "paper.pdf")),
              "Could not move \"" + *m_source / "download" + "\" to \"" + m_target / "paper.pdf" + "\": File exists");
    EXPECT_EQ(m_target.entries(), (Names { "paper.pdf" }));
    EXPECT_EQ(fileContent(m_target / "paper.pdf"), "old");
    EXPECT_EQ(fileContent(*m_source / "download"), "new");
}

TEST_F(AcrossFileSystems, AMissingDestinationFolderKeepsTheSource)
{
    m_source->write("download", "new");
    EXPECT_EQ(errorOf(moveFileWithoutReplacing(*m_source / "download", m_target / "gone/paper.pdf")),
              "Could not move \"" + *m_source / "download" + "\" to \"" + m_target / "gone/paper.pdf"
                  + "\": No such file or directory");
    EXPECT_EQ(m_source->entries(), (Names { "download" }));
    EXPECT_EQ(m_target.entries(), Names {});
}

TEST_F(AcrossFileSystems, OnlyRegularFilesAreCarriedOver)
{
    m_source->makeFolder("folder");
    EXPECT_EQ(errorOf(moveFileWithoutReplacing(*m_source / "folder", m_target / "folder")),
              "Could not move \"" + *m_source / "folder" + "\" to \"" + m_target / "folder"
                  + "\": Invalid cross-device link");
    EXPECT_EQ(m_target.entries(), Names {});
}

TEST(WriteFileAtomically, StoresTheBytesExactly)
{
    const std::string contents[] = {
        "",
        "plain",
        "line one\r\nline two\r\n",
        "Prüfung: Grüße, 考试 🎓\n",
        std::string("nul\0inside\n", 11),
        "\xEF\xBB\xBFkept as given",
    };
    for (const std::string& content : contents) {
        TemporaryFolder folder;
        EXPECT_EQ(writeFileAtomically(folder / "answer.txt", content), std::nullopt);
        EXPECT_EQ(fileContent(folder / "answer.txt"), content);
        EXPECT_EQ(folder.entries(), (Names { "answer.txt" }));
    }
}

TEST(WriteFileAtomically, ReplacesAnExistingFile)
{
    TemporaryFolder folder;
    folder.write("answer.txt", "a much longer former content than the new one");
    EXPECT_EQ(writeFileAtomically(folder / "answer.txt", "short"), std::nullopt);
    EXPECT_EQ(fileContent(folder / "answer.txt"), "short");
    EXPECT_EQ(folder.entries(), (Names { "answer.txt" }));
}

TEST(WriteFileAtomically, GetsTheModeOfANewlyCreatedFile)
{
    TemporaryFolder folder;
    const mode_t former = ::umask(022);
    EXPECT_EQ(writeFileAtomically(folder / "open.txt", "x"), std::nullopt);
    ::umask(077);
    EXPECT_EQ(writeFileAtomically(folder / "private.txt", "x"), std::nullopt);
    ::umask(former);
    EXPECT_EQ(modeOf(folder / "open.txt"), 0644u);
    EXPECT_EQ(modeOf(folder / "private.txt"), 0600u);
}

TEST(WriteFileAtomically, ADirectoryInTheWayIsAnErrorAndStaysAsItWas)
{
    TemporaryFolder folder;
    folder.write("answer.txt/inside", "kept");
    EXPECT_EQ(errorOf(writeFileAtomically(folder / "answer.txt", "new")),
              "Could not save \"" + folder / "answer.txt" + "\": Is a directory");
    EXPECT_EQ(folder.entries(), (Names { "answer.txt" }));
    EXPECT_EQ(fileContent(folder / "answer.txt/inside"), "kept");
}

TEST(WriteFileAtomically, AMissingFolderIsAnError)
{
    TemporaryFolder folder;
    EXPECT_EQ(errorOf(writeFileAtomically(folder / "gone/answer.txt", "new")),
              "Could not save \"" + folder / "gone/answer.txt" + "\": No such file or directory");
    EXPECT_EQ(folder.entries(), Names {});
}

TEST(WriteFileAtomically, AFailedWriteKeepsTheFormerContent)
{
    TemporaryFolder folder;
    folder.write("answer.txt", "former");
    // A file size limit makes write() fail with EFBIG, for root too; the signal it
    // raises is ignored so the failure comes back as an error.
    rlimit former {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &former), 0);
    const auto formerHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = former;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    const auto error = writeFileAtomically(folder / "answer.txt", std::string(10000, 'x'));

    ::setrlimit(RLIMIT_FSIZE, &former);
    std::signal(SIGXFSZ, formerHandler);
    EXPECT_EQ(errorOf(error), "Could not save \"" + folder / "answer.txt" + "\": File too large");
    EXPECT_EQ(fileContent(folder / "answer.txt"), "former");
    EXPECT_EQ(folder.entries(), (Names { "answer.txt" }));
}

TEST(WriteFileAtomically, AVeryLongNameStillGetsAHiddenTemporaryFile)
{
    TemporaryFolder folder;
    const std::string name(255, 'n');
    EXPECT_EQ(writeFileAtomically(folder / name, "content"), std::nullopt);
    EXPECT_EQ(folder.entries(), (Names { name }));
}

}
}
