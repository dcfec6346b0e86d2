// The running applications as read from a /proc tree that the input writes. Sections
// start with a line "== ENTRY FILE" (FILE is stat, status, comm, cgroup, cmdline or
// exe); the lines after it, up to the next such line, are that file's bytes, or for
// exe the symbolic link's target. No record has an empty identifier or name, there are
// never more records than entries, and every name shows in the launch gate's alert on its
// own line.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/linux/ProcRunningApplications.h"
#include "tests/fuzz/Invariant.h"
#include "tests/fuzz/LineText.h"
#include "tests/unit/platform/TemporaryFolder.h"
#include "window/ShownName.h"

namespace tessaro::fuzzing {
namespace {

constexpr uid_t student = 1000;
constexpr std::size_t maximumEntries = 32;
constexpr std::string_view headerStart = "== ";

bool isEntryName(std::string_view name)
{
    return !name.empty() && name.size() <= 64 && name != "." && name != ".."
        && name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool isProcFile(std::string_view file)
{
    return file == "stat" || file == "status" || file == "comm" || file == "cgroup" || file == "cmdline"
        || file == "exe";
}

void writeFile(const TemporaryFolder& root, const std::string& entry, std::string_view file, std::string_view content)
{
    std::error_code ignored;
    const auto path = root / (entry + "/" + std::string(file));
    std::filesystem::remove(path, ignored);
    if (file != "exe") {
        root.write(entry + "/" + std::string(file), content);
        return;
    }
    const auto targetEnd = content.find_first_of(std::string_view("\n\0", 2));
    std::filesystem::create_symlink(std::string(content.substr(0, targetEnd)), path, ignored);
}

// Writes the tree and returns the names of the entries made.
std::set<std::string> writeTree(const TemporaryFolder& root, std::string_view input)
{
    std::set<std::string> entries;
    std::string entry;
    std::string_view file;
    std::string content;
    const auto flush = [&] {
        if (!entry.empty() && isProcFile(file))
            writeFile(root, entry, file, content);
        content.clear();
    };
    for (std::size_t start = 0; start < input.size();) {
        const auto end = std::min(input.find('\n', start), input.size() - 1) + 1;
        const auto line = input.substr(start, end - start);
        start = end;
        if (!line.starts_with(headerStart)) {
            content += line;
            continue;
        }
        flush();
        auto header = line.substr(headerStart.size());
        if (header.ends_with('\n'))
            header.remove_suffix(1);
        const auto space = header.rfind(' ');
        entry.clear();
        if (space == std::string_view::npos || !isEntryName(header.substr(0, space)))
            continue;
        entry = std::string(header.substr(0, space));
        file = header.substr(space + 1);
        if (!entries.contains(entry) && entries.size() == maximumEntries) {
            entry.clear();
            continue;
        }
        entries.insert(entry);
        root.makeFolder(entry);
    }
    flush();
    return entries;
}

// The tree is written anew for every input: on tmpfs that costs little, on a disk file
// system creating and removing thousands of files a second is most of the run.
std::filesystem::path scratchParent()
{
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error))
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

void listApplications(std::string_view input)
{
    static const TemporaryFolder root(scratchParent());
    for (const auto& name : root.entries())
        std::filesystem::remove_all(root / name);

    const auto entries = writeTree(root, input);
    ProcRunningApplications list(root.path(), student);
    const auto applications = list.runningApplications();
    const auto everyProcess = list.everyProcess();
    require(applications.size() <= everyProcess.size(), "the user's processes are among every process");
    require(everyProcess.size() <= entries.size(), "no more records than entries");
    auto all = applications;
    all.insert(all.end(), everyProcess.begin(), everyProcess.end());
    for (const auto& application : all) {
        require(!application || !application->bundleIdentifier.empty(), "an identifier is never empty");
        require(!application || !application->name.empty(), "a name is never empty");
        if (application) {
            const std::string shown = shownName(application->name);
            require(isOneTerminalLine(shown), "a name in the gate's alert stays on its line");
            require(shown.size() <= 64 * 4 + 3, "a name in the gate's alert is cut");
        }
    }
}

}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tessaro::fuzzing::listApplications(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
