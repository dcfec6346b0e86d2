#include "platform/linux/ProcRunningApplications.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "platform/linux/CgroupApplicationId.h"
#include "platform/linux/ProcFields.h"
#include "platform/posix/FileContents.h"

namespace tessaro {

namespace {

struct Process {
    pid_t pid = 0;
    ProcStat stat;
};

std::optional<pid_t> pidOf(const std::string& entryName)
{
    pid_t pid = 0;
    const char* end = entryName.data() + entryName.size();
    const auto result = std::from_chars(entryName.data(), end, pid);
    if (entryName.empty() || result.ec != std::errc() || result.ptr != end || pid <= 0)
        return std::nullopt;
    return pid;
}

// Reads the processes' cgroup files, each at most once per listing: many processes
// share a parent.
class CgroupPaths {
public:
    explicit CgroupPaths(const std::string& procRoot)
        : m_procRoot(procRoot)
    {
    }

    const std::optional<std::string>& of(pid_t pid)
    {
        const auto known = m_paths.find(pid);
        if (known != m_paths.end())
            return known->second;
        const auto text = readFileContents(m_procRoot + "/" + std::to_string(pid) + "/cgroup");
        return m_paths.emplace(pid, text ? cgroupPathOf(*text) : std::nullopt).first->second;
    }

private:
    const std::string& m_procRoot;
    std::unordered_map<pid_t, std::optional<std::string>> m_paths;
};

}

ProcRunningApplications::ProcRunningApplications(std::string procRoot, uid_t uid)
    : m_procRoot(std::move(procRoot))
    , m_uid(uid)
{
}

std::vector<RunningApplication> ProcRunningApplications::runningApplications()
{
    return list(Owners::user);
}

std::vector<RunningApplication> ProcRunningApplications::everyProcess()
{
    return list(Owners::everyone);
}

std::vector<RunningApplication> ProcRunningApplications::list(Owners owners)
{
    std::vector<Process> processes;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(m_procRoot, error), end; !error && entry != end;
         entry.increment(error)) {
        const auto pid = pidOf(entry->path().filename().string());
        if (!pid)
            continue;
        const std::string folder = m_procRoot + "/" + std::to_string(*pid);
        // A process that ends while it is read loses its files: it is simply not listed.
        const auto statText = readFileContents(folder + "/stat");
        const auto stat = statText ? parseProcStat(*statText) : std::nullopt;
        if (!stat || (stat->flags & kernelThreadFlag) != 0 || hasEnded(*stat))
            continue;
        if (owners == Owners::user) {
            const auto statusText = readFileContents(folder + "/status");
            const auto uid = statusText ? parseRealUid(*statusText) : std::nullopt;
            if (!uid || *uid != m_uid)
                continue;
        }
        processes.push_back({ *pid, *stat });
    }
    std::sort(processes.begin(), processes.end(), [](const Process& a, const Process& b) {
        return std::pair(a.stat.startTime, a.pid) < std::pair(b.stat.startTime, b.pid);
    });

    CgroupPaths cgroupPaths(m_procRoot);
    std::vector<RunningApplication> applications;
    applications.reserve(processes.size());
    for (const Process& process : processes) {
        const std::string folder = m_procRoot + "/" + std::to_string(process.pid);
        const auto comm = readFileContents(folder + "/comm");
        auto name = comm ? commandName(*comm) : std::nullopt;

        // Only the process the launcher started gets the application ID. Whatever it
        // starts inherits its unit: a shell in a terminal, or a screen recorder started
        // from that shell, lives in the terminal's scope and must still be recognised
        // by its own executable's name.
        std::optional<std::string> identifier;
        const std::optional<std::string>& cgroup = cgroupPaths.of(process.pid);
        if (cgroup && cgroupPaths.of(process.stat.parentPid) != cgroup)
            identifier = applicationIdFromCgroupPath(*cgroup);
        if (!identifier) {
            std::error_code linkError;
            const auto exe = std::filesystem::read_symlink(folder + "/exe", linkError);
            if (!linkError)
                identifier = executableName(exe.string());
        }
        if (!identifier) {
            const auto cmdline = readFileContents(folder + "/cmdline");
            identifier = cmdline ? firstArgumentName(*cmdline) : std::nullopt;
        }
        // Another user's executable is hidden from us (and a service may hide its
        // command line), but never its process name.
        if (!identifier && owners == Owners::everyone)
            identifier = name;

        if (auto application = runningApplication(std::move(identifier), std::move(name))) {
            applications.push_back(std::move(application));
            continue;
        }
        std::error_code existsError;
        if (std::filesystem::exists(folder, existsError) || existsError)
            applications.push_back(std::nullopt);
    }
    return applications;
}

}
