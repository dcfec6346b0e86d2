#include "platform/linux/ProcFields.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace tessaro {

namespace {

template <typename Number> std::optional<Number> parseNumber(std::string_view text)
{
    Number value {};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::vector<std::string_view> splitOnBlanks(std::string_view text)
{
    std::vector<std::string_view> fields;
    std::size_t position = 0;
    while (position < text.size()) {
        const auto begin = text.find_first_not_of(" \t\n", position);
        if (begin == std::string_view::npos)
            break;
        const auto end = std::min(text.find_first_of(" \t\n", begin), text.size());
        fields.push_back(text.substr(begin, end - begin));
        position = end;
    }
    return fields;
}

std::optional<std::string> lastPathElement(std::string_view path)
{
    const auto slash = path.rfind('/');
    if (slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    if (path.empty())
        return std::nullopt;
    return std::string(path);
}

}

std::optional<ProcStat> parseProcStat(std::string_view text)
{
    // The name in parentheses is chosen by the process and may hold spaces and ')'
    // itself; only the last ')' closes it.
    const auto close = text.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    // After the name: state (field 3), ppid (4), ..., flags (9), ..., starttime (22).
    const auto fields = splitOnBlanks(text.substr(close + 1));
    if (fields.size() < 20)
        return std::nullopt;
    const auto parentPid = parseNumber<pid_t>(fields[1]);
    const auto flags = parseNumber<unsigned long>(fields[6]);
    const auto startTime = parseNumber<unsigned long long>(fields[19]);
    if (fields[0].size() != 1 || !parentPid || !flags || !startTime)
        return std::nullopt;
    return ProcStat { fields[0].front(), *parentPid, *flags, *startTime };
}

std::optional<uid_t> parseRealUid(std::string_view statusText)
{
    std::size_t lineStart = 0;
    while (lineStart < statusText.size()) {
        const auto lineEnd = std::min(statusText.find('\n', lineStart), statusText.size());
        const auto line = statusText.substr(lineStart, lineEnd - lineStart);
        if (line.starts_with("Uid:")) {
            const auto ids = splitOnBlanks(line.substr(4));
            return ids.empty() ? std::nullopt : parseNumber<uid_t>(ids.front());
        }
        lineStart = lineEnd + 1;
    }
    return std::nullopt;
}

std::optional<std::string> commandName(std::string_view commText)
{
    if (commText.ends_with('\n'))
        commText.remove_suffix(1);
    if (commText.empty())
        return std::nullopt;
    return std::string(commText);
}

std::optional<std::string> executableName(std::string_view exeTarget)
{
    // A program whose file was replaced (by a package upgrade) is still the same program.
    constexpr std::string_view deletedMark = " (deleted)";
    if (exeTarget.ends_with(deletedMark))
        exeTarget.remove_suffix(deletedMark.size());
    return lastPathElement(exeTarget);
}

std::optional<std::string> firstArgumentName(std::string_view cmdlineText)
{
    return lastPathElement(cmdlineText.substr(0, cmdlineText.find('\0')));
}

}
