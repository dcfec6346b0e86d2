#include "platform/linux/XdgDownloadsFolder.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/ErrorText.h"
#include "platform/posix/FileContents.h"

namespace tessaro {

namespace {

constexpr std::string_view downloadKey = "XDG_DOWNLOAD_DIR";

std::string_view withoutLeadingBlanks(std::string_view text)
{
    const auto begin = text.find_first_not_of(" \t");
    return begin == std::string_view::npos ? std::string_view() : text.substr(begin);
}

// The text inside the quotes with backslash escapes undone; nothing when the closing
// quote is missing.
std::optional<std::string> unquoted(std::string_view quoted)
{
    std::string value;
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] == '"')
            return value;
        if (quoted[i] == '\\' && i + 1 < quoted.size())
            ++i;
        value.push_back(quoted[i]);
    }
    return std::nullopt;
}

// The folder one line of user-dirs.dirs names, when it is the Downloads line and its
// value is usable: double-quoted, and either under $HOME or absolute. Anything else
// counts as if the line were not there, as the desktop's own tools treat it.
std::optional<std::string> downloadFolderFrom(std::string_view line, const std::string& home)
{
    line = withoutLeadingBlanks(line);
    if (!line.starts_with(downloadKey))
        return std::nullopt;
    line = withoutLeadingBlanks(line.substr(downloadKey.size()));
    if (!line.starts_with('='))
        return std::nullopt;
    line = withoutLeadingBlanks(line.substr(1));
    if (!line.starts_with('"'))
        return std::nullopt;
    line.remove_prefix(1);
    constexpr std::string_view homeVariable = "$HOME";
    if (line.starts_with(homeVariable)
        && (line.substr(homeVariable.size()).starts_with('/') || line.substr(homeVariable.size()).starts_with('"'))) {
        const auto rest = unquoted(line.substr(homeVariable.size()));
        return rest ? std::optional(home + *rest) : std::nullopt;
    }
    auto value = unquoted(line);
    if (!value || !value->starts_with('/'))
        return std::nullopt;
    return value;
}

}

XdgDownloadsFolder::XdgDownloadsFolder(Environment environment)
    : m_environment(std::move(environment))
{
}

std::optional<std::string> XdgDownloadsFolder::processEnvironment(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

std::optional<std::string> XdgDownloadsFolder::homeFolder() const
{
    if (auto home = m_environment("HOME"); home && !home->empty())
        return home;
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    for (;;) {
        passwd entry {};
        passwd* found = nullptr;
        const int status = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (status == ERANGE && buffer.size() < (std::size_t { 1 } << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0 || found == nullptr || entry.pw_dir == nullptr || *entry.pw_dir == '\0')
            return std::nullopt;
        return std::string(entry.pw_dir);
    }
}

PathOrError XdgDownloadsFolder::locate() const
{
    const auto home = homeFolder();
    if (!home)
        return FileError { "The Downloads folder cannot be found: the user has no home folder" };
    auto configHome = m_environment("XDG_CONFIG_HOME");
    if (!configHome || !configHome->starts_with('/'))
        configHome = *home + "/.config";
    std::string folder = *home + "/Downloads";
    if (const auto userDirs = readFileContents(*configHome + "/user-dirs.dirs")) {
        std::string_view text = *userDirs;
        while (!text.empty()) {
            const auto lineEnd = text.find('\n');
            if (auto configured = downloadFolderFrom(text.substr(0, lineEnd), *home))
                folder = std::move(*configured);
            text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
        }
    }

    struct stat status { };
    if (::stat(folder.c_str(), &status) != 0) {
        const int reason = errno;
        if (reason == ENOENT)
            return FileError { "The Downloads folder \"" + folder + "\" does not exist" };
        return FileError { "The Downloads folder \"" + folder + "\" cannot be reached: " + errorText(reason) };
    }
    if (!S_ISDIR(status.st_mode))
        return FileError { "The Downloads folder \"" + folder + "\" is not a folder" };
    return folder;
}

}
