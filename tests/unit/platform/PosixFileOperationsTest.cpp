#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include <sys/resource.h>
#include <sys/stat.h>

#include "platform/posix/PosixFileOperations.h"
#include "tests/unit/platform/TemporaryFolder.h"

namespace tessaro {
namespace {

using Names = std::set<std::string>;

std::string errorOf(const std::optional<FileError>& error)
{
    return error ? error->description : "no error";
}

std::string moveError(const std::string& from, const std::string& to, const std::string& reason)
{
    return reason.empty() ? "no error" : "Could not move \"" + from + "\" to \"" + to + "\": " + reason;
}

// The text handed on two bytes at a time.
PageText inPieces(std::string text)
{
    return [text = std::move(text)](const TextPiece& piece) {
        for (std::size_t at = 0; at < text.size(); at += 2) {
            if (!piece(std::string_view(text).substr(at, 2)))
                return false;
        }
        return true;
    };
}

unsigned modeOf(const std::string& path)
{
    return static_cast<unsigned>(std::filesystem::status(path).permissions());
}

// From, to, the reason it fails (none: it moves), then the target's and the source's folder entries.
using MoveCase = std::tuple<std::string, std::string, std::string, Names, Names>;

TEST(MoveFileWithoutReplacing, MovesOnlyIntoAFreeName)
{
    const MoveCase cases[] = {
        { "new", "free", "", { "free", "taken", "taken-folder" }, {} },
        { "new", "taken", "File exists", { "new", "taken", "taken-folder" }, {} },
        { "new", "taken-folder", "File exists", { "new", "taken", "taken-folder" }, {} },
        { "absent", "free", "No such file or directory", { "new", "taken", "taken-folder" }, {} },
        { "new", "no-folder/file", "No such file or directory", { "new", "taken", "taken-folder" }, {} },
    };
    for (const auto& [from, to, reason, entries, unused] : cases) {
        TemporaryFolder folder;
        folder.write("new", "new content");
        folder.write("taken", "old content");
        folder.makeFolder("taken-folder");
        EXPECT_EQ(errorOf(moveFileWithoutReplacing(folder / from, folder / to)),
                  moveError(folder / from, folder / to, reason));
        EXPECT_EQ(folder.entries(), entries) << to;
        EXPECT_EQ(fileContent(folder / (reason.empty() ? to : "new")), "new content") << to;
        EXPECT_EQ(fileContent(folder / "taken"), "old content") << to;
    }
}

// The download's temporary file may live on another file system than the Downloads
// folder: the bytes are copied under a hidden name, and only a whole copy takes the name.
TEST(MoveFileWithoutReplacing, AcrossFileSystemsCopiesAndRemovesTheSourceOnlyWhenDone)
{
    struct stat shm { };
    struct stat temporary { };
    if (::stat("/dev/shm", &shm) != 0 || ::stat(TemporaryFolder().path().c_str(), &temporary) != 0
        || shm.st_dev == temporary.st_dev)
        GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    const std::string content = patternBytes(3 * 65536 + 17);
    const MoveCase cases[] = {
        { "download", "new.pdf", "", { "new.pdf", "paper.pdf" }, { "folder" } },
        { "download", "paper.pdf", "File exists", { "paper.pdf" }, { "download", "folder" } },
        { "download", "gone/paper.pdf", "No such file or directory", { "paper.pdf" }, { "download", "folder" } },
        { "folder", "folder", "Invalid cross-device link", { "paper.pdf" }, { "download", "folder" } },
    };
    for (const auto& [from, to, reason, targetEntries, sourceEntries] : cases) {
        const TemporaryFolder source("/dev/shm");
        const TemporaryFolder target;
        source.write("download", content);
        ::chmod((source / "download").c_str(), 0640);
        source.makeFolder("folder");
        target.write("paper.pdf", "old");
        EXPECT_EQ(errorOf(moveFileWithoutReplacing(source / from, target / to)),
                  moveError(source / from, target / to, reason));
        EXPECT_EQ(target.entries(), targetEntries) << to;
        EXPECT_EQ(source.entries(), sourceEntries) << to;
        EXPECT_EQ(fileContent(target / "paper.pdf"), "old") << to;
        if (reason.empty()) {
            EXPECT_TRUE(fileContent(target / to) == content);
            EXPECT_EQ(modeOf(target / to), 0640u);
        }
    }
}

TEST(WriteFileAtomically, ReplacesWithTheBytesExactlyUnderAnyName)
{
    const std::string contents[] = {
        "",
        "Prüfung: Grüße, 考试 🎓\n",
        std::string("nul\0inside\n", 11),
    };
    for (const std::string& name : { std::string("answer.txt"), std::string(255, 'n') }) {
        for (const std::string& content : contents) {
            TemporaryFolder folder;
            folder.write(name, "a much longer former content than any new one");
            EXPECT_EQ(writeFileAtomically(folder / name, inPieces(content)), std::nullopt);
            EXPECT_EQ(fileContent(folder / name), content);
            EXPECT_EQ(folder.entries(), (Names { name }));
        }
    }
}

TEST(WriteFileAtomically, GetsTheModeOfANewlyCreatedFile)
{
    TemporaryFolder folder;
    const mode_t former = ::umask(022);
    EXPECT_EQ(writeFileAtomically(folder / "open.txt", inPieces("x")), std::nullopt);
    ::umask(077);
    EXPECT_EQ(writeFileAtomically(folder / "private.txt", inPieces("x")), std::nullopt);
    ::umask(former);
    EXPECT_EQ(modeOf(folder / "open.txt"), 0644u);
    EXPECT_EQ(modeOf(folder / "private.txt"), 0600u);
}

TEST(WriteFileAtomically, AFailureIsAnErrorAndLeavesEverythingAsItWas)
{
    TemporaryFolder folder;
    folder.write("answer.txt/inside", "kept");
    folder.write("former.txt", "former");
    EXPECT_EQ(errorOf(writeFileAtomically(folder / "answer.txt", inPieces("new"))),
              "Could not save \"" + folder / "answer.txt" + "\": Is a directory");
    EXPECT_EQ(errorOf(writeFileAtomically(folder / "gone/answer.txt", inPieces("new"))),
              "Could not save \"" + folder / "gone/answer.txt" + "\": No such file or directory");
    const PageText unreadable = [](const TextPiece& piece) { return piece("part") && false; };
    EXPECT_EQ(errorOf(writeFileAtomically(folder / "former.txt", unreadable)),
              "Could not save \"" + folder / "former.txt" + "\": Invalid or incomplete multibyte or wide character");

    // A file size limit makes write() fail with EFBIG, for root too; the signal it
    // raises is ignored so the failure comes back as an error.
    rlimit former {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &former), 0);
    const auto formerHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small { 4096, former.rlim_max };
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = writeFileAtomically(folder / "former.txt", inPieces(std::string(10000, 'x')));
    ::setrlimit(RLIMIT_FSIZE, &former);
    std::signal(SIGXFSZ, formerHandler);

    EXPECT_EQ(errorOf(error), "Could not save \"" + folder / "former.txt" + "\": File too large");
    EXPECT_EQ(fileContent(folder / "former.txt"), "former");
    EXPECT_EQ(fileContent(folder / "answer.txt/inside"), "kept");
    EXPECT_EQ(folder.entries(), (Names { "answer.txt", "former.txt" }));
}

}
}
