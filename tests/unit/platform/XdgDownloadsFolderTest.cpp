#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>

#include <pwd.h>
#include <unistd.h>

#include "platform/linux/XdgDownloadsFolder.h"
#include "tests/unit/platform/TemporaryFolder.h"

namespace tessaro {
namespace {

XdgDownloadsFolder withEnvironment(std::map<std::string, std::string> variables)
{
    return XdgDownloadsFolder([variables](const std::string& name) -> std::optional<std::string> {
        const auto found = variables.find(name);
        return found == variables.end() ? std::nullopt : std::optional(found->second);
    });
}

std::string pathOf(const PathOrError& result)
{
    if (const auto* error = std::get_if<FileError>(&result))
        return "error: " + error->description;
    return std::get<std::string>(result);
}

// A home whose every candidate folder exists, so a wrong pick shows as a wrong path.
class XdgDownloadsFolderTest : public ::testing::Test {
protected:
    XdgDownloadsFolderTest()
    {
        for (const char* folder : { "Downloads", "Other", "Desktop", "Commented", "Relative", "Unquoted", "Older",
                                    "My \"Files\"", "Téléchargements", "config-dl", ".config" }) {
            home.makeFolder(folder);
        }
        elsewhere.makeFolder("Exams");
    }

    void writeUserDirs(const std::string& content) const { home.write(".config/user-dirs.dirs", content); }

    std::string locate() const { return pathOf(withEnvironment({ { "HOME", home.path() } }).locate()); }

public:
    TemporaryFolder home;
    TemporaryFolder elsewhere;
};

TEST_F(XdgDownloadsFolderTest, UserDirsValuesTable)
{
    const std::pair<std::string, std::string> cases[] = {
        { "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n", "/Téléchargements" },
        { "XDG_DOWNLOAD_DIR=\"" + elsewhere / "Exams" + "\"\n", elsewhere / "Exams" },
        { "XDG_DOWNLOAD_DIR=\"$HOME\"\n", "" },
        { "XDG_DOWNLOAD_DIR=\"$HOME/My \\\"Files\\\"\"\n", "/My \"Files\"" },
        { "  XDG_DOWNLOAD_DIR = \"$HOME/Other\"\n", "/Other" },
        { "XDG_DOWNLOAD_DIR=\"Relative\"\n", "/Downloads" },
        { "XDG_DOWNLOAD_DIR=$HOME/Unquoted\n", "/Downloads" },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Other\n", "/Downloads" },
        { "XDG_DOWNLOAD_DIR=\"$HOMEOther\"\n", "/Downloads" },
        { "# XDG_DOWNLOAD_DIR=\"$HOME/Commented\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "/Downloads" },
        { "XDG_DOWNLOAD_DIRS=\"$HOME/Other\"\n", "/Downloads" },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Older\"\nXDG_DOWNLOAD_DIR=\"$HOME/Other\"", "/Other" },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Other\"\nXDG_DOWNLOAD_DIR=\"Relative\"\nXDG_DOWNLOAD_DIR=$HOME/Unquoted\n",
          "/Other" },
        { "", "/Downloads" },
    };
    for (const auto& [content, expected] : cases) {
        writeUserDirs(content);
        const std::string expectedPath = expected.starts_with(elsewhere.path()) ? expected : home.path() + expected;
        EXPECT_EQ(locate(), expectedPath) << content;
    }
}

TEST_F(XdgDownloadsFolderTest, WithoutUserDirsTheHomesDownloadsFolder)
{
    EXPECT_EQ(locate(), home / "Downloads");
}

TEST_F(XdgDownloadsFolderTest, ConfigHomeComesFromTheEnvironmentWhenAbsolute)
{
    home.write("elsewhere-config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/config-dl\"\n");
    writeUserDirs("XDG_DOWNLOAD_DIR=\"$HOME/Other\"\n");

    EXPECT_EQ(
        pathOf(withEnvironment({ { "HOME", home.path() }, { "XDG_CONFIG_HOME", home / "elsewhere-config" } }).locate()),
        home / "config-dl");
    EXPECT_EQ(pathOf(withEnvironment({ { "HOME", home.path() }, { "XDG_CONFIG_HOME", "elsewhere-config" } }).locate()),
              home / "Other");
    EXPECT_EQ(pathOf(withEnvironment({ { "HOME", home.path() }, { "XDG_CONFIG_HOME", "" } }).locate()), home / "Other");
}

TEST_F(XdgDownloadsFolderTest, ReadsTheFileAnewOnEveryLookup)
{
    const XdgDownloadsFolder downloads = withEnvironment({ { "HOME", home.path() } });
    writeUserDirs("XDG_DOWNLOAD_DIR=\"$HOME/Other\"\n");
    EXPECT_EQ(pathOf(downloads.locate()), home / "Other");
    writeUserDirs("XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n");
    EXPECT_EQ(pathOf(downloads.locate()), home / "Téléchargements");
    std::filesystem::remove(home / ".config/user-dirs.dirs");
    EXPECT_EQ(pathOf(downloads.locate()), home / "Downloads");
}

TEST_F(XdgDownloadsFolderTest, AMissingFolderIsAnErrorAndIsNotCreated)
{
    writeUserDirs("XDG_DOWNLOAD_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(locate(), "error: The Downloads folder \"" + home / "Gone" + "\" does not exist");
    EXPECT_FALSE(std::filesystem::exists(home / "Gone"));
}

TEST_F(XdgDownloadsFolderTest, AFileInsteadOfAFolderIsAnError)
{
    std::filesystem::remove(home / "Downloads");
    home.write("Downloads", "not a folder");
    EXPECT_EQ(locate(), "error: The Downloads folder \"" + home / "Downloads" + "\" is not a folder");
}

TEST_F(XdgDownloadsFolderTest, ASymlinkToAFolderIsFollowed)
{
    std::filesystem::create_directory_symlink(elsewhere / "Exams", home / "Linked");
    writeUserDirs("XDG_DOWNLOAD_DIR=\"$HOME/Linked\"\n");
    EXPECT_EQ(locate(), home / "Linked");
}

TEST_F(XdgDownloadsFolderTest, WithoutHomeTheAccountsHomeFolder)
{
    home.write("config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/tessaro-no-such-folder\"\n");
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    const std::string expected = std::string(account->pw_dir) + "/tessaro-no-such-folder";

    using Variables = std::map<std::string, std::string>;
    for (const Variables& environment : { Variables { { "XDG_CONFIG_HOME", home / "config" } },
                                          Variables { { "HOME", "" }, { "XDG_CONFIG_HOME", home / "config" } } }) {
        EXPECT_EQ(pathOf(withEnvironment(environment).locate()),
                  "error: The Downloads folder \"" + expected + "\" does not exist");
    }
}

}
}
