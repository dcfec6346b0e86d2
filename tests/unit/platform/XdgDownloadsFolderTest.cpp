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

using Variables = std::map<std::string, std::string>;

std::string locate(const XdgDownloadsFolder& downloads)
{
    const auto result = downloads.locate();
    const auto* error = std::get_if<FileError>(&result);
    return error ? "error: " + error->description : std::get<std::string>(result);
}

std::string locate(const Variables& variables)
{
    return locate(XdgDownloadsFolder([variables](const std::string& name) -> std::optional<std::string> {
        const auto found = variables.find(name);
        return found == variables.end() ? std::nullopt : std::optional(found->second);
    }));
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
        home.write("File", "not a folder");
        elsewhere.makeFolder("Exams");
        std::filesystem::create_directory_symlink(elsewhere / "Exams", home / "Linked");
    }

    void writeUserDirs(const std::string& content) const { home.write(".config/user-dirs.dirs", content); }

public:
    TemporaryFolder home;
    TemporaryFolder elsewhere;
};

TEST_F(XdgDownloadsFolderTest, UserDirsValuesTable)
{
    const std::string downloads = home / "Downloads";
    const std::string folder = "error: The Downloads folder \"";
    const std::pair<std::string, std::string> cases[] = {
        { "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n", home / "Téléchargements" },
        { "XDG_DOWNLOAD_DIR=\"" + elsewhere / "Exams" + "\"\n", elsewhere / "Exams" },
        { "XDG_DOWNLOAD_DIR=\"$HOME\"\n", home.path() },
        { "XDG_DOWNLOAD_DIR=\"$HOME/My \\\"Files\\\"\"\n", home / "My \"Files\"" },
        { "  XDG_DOWNLOAD_DIR = \"$HOME/Other\"\n", home / "Other" },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Linked\"\n", home / "Linked" },
        { "XDG_DOWNLOAD_DIR=\"Relative\"\n", downloads },
        { "XDG_DOWNLOAD_DIR=$HOME/Unquoted\n", downloads },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Other\n", downloads },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Other\\\"\n", downloads },
        { "XDG_DOWNLOAD_DIR=\"$HOMEOther\"\n", downloads },
        { "# XDG_DOWNLOAD_DIR=\"$HOME/Commented\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", downloads },
        { "XDG_DOWNLOAD_DIRS=\"$HOME/Other\"\n", downloads },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Older\"\nXDG_DOWNLOAD_DIR=\"$HOME/Other\"", home / "Other" },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Other\"\nXDG_DOWNLOAD_DIR=\"Relative\"\nXDG_DOWNLOAD_DIR=$HOME/Unquoted\n",
          home / "Other" },
        { "", downloads },
        { "XDG_DOWNLOAD_DIR=\"$HOME/Gone\"\n", folder + home / "Gone" + "\" does not exist" },
        { "XDG_DOWNLOAD_DIR=\"$HOME/File\"\n", folder + home / "File" + "\" is not a folder" },
    };
    // One lookup for every row: the file is read anew each time.
    const XdgDownloadsFolder lookup(
        [this](const std::string& name) { return name == "HOME" ? std::optional(home.path()) : std::nullopt; });
    EXPECT_EQ(locate(lookup), downloads) << "without user-dirs.dirs";
    for (const auto& [content, expected] : cases) {
        writeUserDirs(content);
        EXPECT_EQ(locate(lookup), expected) << content;
    }
    std::filesystem::remove(home / ".config/user-dirs.dirs");
    EXPECT_EQ(locate(lookup), downloads) << "removed";
    EXPECT_FALSE(std::filesystem::exists(home / "Gone"));
}

TEST_F(XdgDownloadsFolderTest, ConfigHomeFromTheEnvironmentWhenAbsoluteAndWithoutHomeTheAccountsHome)
{
    home.write("elsewhere-config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/config-dl\"\n");
    home.write("config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/tessaro-no-such-folder\"\n");
    writeUserDirs("XDG_DOWNLOAD_DIR=\"$HOME/Other\"\n");
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    const std::string accounts
        = "error: The Downloads folder \"" + std::string(account->pw_dir) + "/tessaro-no-such-folder\" does not exist";
    const std::pair<Variables, std::string> cases[] = {
        { { { "HOME", home.path() }, { "XDG_CONFIG_HOME", home / "elsewhere-config" } }, home / "config-dl" },
        { { { "HOME", home.path() }, { "XDG_CONFIG_HOME", "elsewhere-config" } }, home / "Other" },
        { { { "HOME", home.path() }, { "XDG_CONFIG_HOME", "" } }, home / "Other" },
        { { { "XDG_CONFIG_HOME", home / "config" } }, accounts },
        { { { "HOME", "" }, { "XDG_CONFIG_HOME", home / "config" } }, accounts },
    };
    for (const auto& [environment, expected] : cases)
        EXPECT_EQ(locate(environment), expected) << expected;
}

}
}
