#include "platform/linux/SysfsPowerSources.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/posix/FileContents.h"

namespace tessaro {

namespace {

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t\n";
    const auto begin = text.find_first_not_of(blanks);
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

// The charge in percent, when the file holds nothing but a whole decimal number.
std::optional<long> capacityFrom(std::string_view text)
{
    if (text.ends_with('\n'))
        text.remove_suffix(1);
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    long value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        return std::nullopt;
    return value;
}

}

SysfsPowerSources::SysfsPowerSources(std::string root)
    : m_root(std::move(root))
{
}

std::vector<PowerSource> SysfsPowerSources::powerSources()
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(m_root, error), end; !error && entry != end; entry.increment(error))
        names.push_back(entry->path().filename().string());
    std::sort(names.begin(), names.end());

    std::vector<PowerSource> sources;
    for (const std::string& name : names) {
        const std::string folder = m_root + "/" + name;
        const auto type = readFileContents(folder + "/type");
        if (!type || (trimmed(*type) != "Battery" && trimmed(*type) != "UPS"))
            continue;
        // A wireless mouse's or keyboard's battery is not the machine's.
        const auto scope = readFileContents(folder + "/scope");
        if (scope && trimmed(*scope) == "Device")
            continue;
        const auto capacity = readFileContents(folder + "/capacity");
        sources.push_back({ capacity ? capacityFrom(*capacity) : std::nullopt });
    }
    return sources;
}

}
