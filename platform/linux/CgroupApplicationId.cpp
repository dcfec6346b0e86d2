#include "platform/linux/CgroupApplicationId.h"

#include <algorithm>
#include <vector>

namespace tessaro {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const auto end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return parts;
        text.remove_prefix(end + 1);
    }
}

bool isAlphanumeric(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The random part only tells instances apart: launchers use a PID, a counter or hex.
bool isRandomPart(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), isAlphanumeric);
}

bool isUuid(std::string_view text)
{
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dashPlace = i == 8 || i == 13 || i == 18 || i == 23;
        if (dashPlace ? text[i] != '-' : hexValue(text[i]) < 0)
            return false;
    }
    return true;
}

// Unit names carry '-' as a separator, so systemd writes a '-' of the ID as \x2d.
std::optional<std::string> unescapedId(std::string_view escaped)
{
    std::string id;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            id.push_back(escaped[i]);
            continue;
        }
        if (i + 3 >= escaped.size() || escaped[i + 1] != 'x')
            return std::nullopt;
        const int high = hexValue(escaped[i + 2]);
        const int low = hexValue(escaped[i + 3]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        id.push_back(static_cast<char>(high * 16 + low));
        i += 3;
    }
    if (id.empty())
        return std::nullopt;
    return id;
}

// "[<launcher>-]<ID>-<RANDOM>", after "app-" and before ".scope".
std::optional<std::string> applicationScope(std::string_view name)
{
    const auto parts = split(name, '-');
    if ((parts.size() != 2 && parts.size() != 3) || !isRandomPart(parts.back()))
        return std::nullopt;
    return unescapedId(parts[parts.size() - 2]);
}

// "[<launcher>-]<ID>[@<RANDOM>]", after "app-" and before ".service".
std::optional<std::string> applicationService(std::string_view name)
{
    const auto at = name.find('@');
    if (at != std::string_view::npos) {
        if (!isRandomPart(name.substr(at + 1)))
            return std::nullopt;
        name = name.substr(0, at);
    }
    const auto parts = split(name, '-');
    if (parts.size() != 1 && parts.size() != 2)
        return std::nullopt;
    return unescapedId(parts.back());
}

std::optional<std::string> snapDesktopId(std::string_view snap, std::string_view app)
{
    // Snap and app names are letters, digits and '-'; a hook's unit ("hook.configure")
    // has a dot where the app name would be.
    if (snap.empty() || app.empty() || app.find('.') != std::string_view::npos)
        return std::nullopt;
    return std::string(snap) + "_" + std::string(app);
}

// "<snap>.<app>-<UUID>", after "snap." and before ".scope".
std::optional<std::string> snapScope(std::string_view name)
{
    const auto dot = name.find('.');
    constexpr std::size_t uuidLength = 36;
    if (dot == std::string_view::npos || name.size() < dot + 1 + uuidLength + 1)
        return std::nullopt;
    const auto uuidStart = name.size() - uuidLength;
    if (name[uuidStart - 1] != '-' || !isUuid(name.substr(uuidStart)))
        return std::nullopt;
    return snapDesktopId(name.substr(0, dot), name.substr(dot + 1, uuidStart - 1 - (dot + 1)));
}

// "<snap>.<app>", after "snap." and before ".service".
std::optional<std::string> snapService(std::string_view name)
{
    const auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    return snapDesktopId(name.substr(0, dot), name.substr(dot + 1));
}

}

std::optional<std::string> cgroupPathOf(std::string_view cgroupText)
{
    std::optional<std::string> systemdPath;
    for (const auto line : split(cgroupText, '\n')) {
        // hierarchy:controllers:path, and the path may hold ':' itself.
        const auto first = line.find(':');
        const auto second = first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos)
            continue;
        const auto hierarchy = line.substr(0, first);
        const auto controllers = line.substr(first + 1, second - first - 1);
        const auto path = line.substr(second + 1);
        if (hierarchy == "0" && controllers.empty())
            return std::string(path);
        if (controllers == "name=systemd")
            systemdPath = std::string(path);
    }
    return systemdPath;
}

std::optional<std::string> applicationIdFromCgroupPath(std::string_view cgroupPath)
{
    const auto slash = cgroupPath.rfind('/');
    const auto unit = slash == std::string_view::npos ? cgroupPath : cgroupPath.substr(slash + 1);
    constexpr std::string_view scopeSuffix = ".scope";
    constexpr std::string_view serviceSuffix = ".service";
    constexpr std::string_view appPrefix = "app-";
    constexpr std::string_view snapPrefix = "snap.";
    if (unit.ends_with(scopeSuffix)) {
        const auto name = unit.substr(0, unit.size() - scopeSuffix.size());
        if (name.starts_with(appPrefix))
            return applicationScope(name.substr(appPrefix.size()));
        if (name.starts_with(snapPrefix))
            return snapScope(name.substr(snapPrefix.size()));
    } else if (unit.ends_with(serviceSuffix)) {
        const auto name = unit.substr(0, unit.size() - serviceSuffix.size());
        if (name.starts_with(appPrefix))
            return applicationService(name.substr(appPrefix.size()));
        if (name.starts_with(snapPrefix))
            return snapService(name.substr(snapPrefix.size()));
    }
    return std::nullopt;
}

}
