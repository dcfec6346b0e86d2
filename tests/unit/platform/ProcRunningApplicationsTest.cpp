#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/ProcRunningApplications.h"
#include "tests/unit/platform/TemporaryFolder.h"

namespace tessaro {
namespace {

constexpr uid_t student = 1000;
constexpr unsigned long kernelThreadFlags = 0x00208040;

// One process as /proc shows it; `stat` replaces the line made from the fields.
struct FakeProcess {
    pid_t pid;
    std::string comm;
    unsigned long long startTime = 1;
    std::optional<std::string> exe = std::nullopt;
    std::optional<std::string> cmdline = std::nullopt;
    std::string uids = "1000\t1000\t1000\t1000";
    char state = 'S';
    pid_t parent = 1;
    unsigned long flags = 0x00400100;
    std::optional<std::string> cgroup = "0::/user.slice/user-1000.slice/session-2.scope\n";
    std::optional<std::string> stat = std::nullopt;
};

// A /proc tree holding only the files the process list reads.
void writeProc(const TemporaryFolder& root, const std::vector<FakeProcess>& processes)
{
    for (const auto& process : processes) {
        const std::string pid = std::to_string(process.pid);
        // Fields 3 to 22: state, ppid, pgrp, session, tty, tpgid, flags, four fault
        // counts, four times, priority, nice, threads, itrealvalue, starttime.
        root.write(pid + "/stat",
                   process.stat.value_or(pid + " (" + process.comm + ") " + process.state + " "
                                         + std::to_string(process.parent) + " " + pid + " " + pid + " 0 -1 "
                                         + std::to_string(process.flags) + " 0 0 0 0 0 0 0 0 20 0 1 0 "
                                         + std::to_string(process.startTime) + " 17000000 900\n"));
        root.write(pid + "/status", "Name:\t" + process.comm + "\nUid:\t" + process.uids + "\nGid:\t1000\n");
        root.write(pid + "/comm", process.comm + "\n");
        if (process.cgroup)
            root.write(pid + "/cgroup", *process.cgroup);
        if (process.exe)
            std::filesystem::create_symlink(*process.exe, root / (pid + "/exe"));
        if (process.cmdline)
            root.write(pid + "/cmdline", *process.cmdline);
    }
}

RunningApplication app(std::string identifier, std::string name)
{
    return ApplicationData { std::move(identifier), std::move(name) };
}

// Each case is the tree, the user's processes and, where given, every process.
struct ProcCase {
    const char* what;
    std::vector<FakeProcess> processes;
    std::vector<RunningApplication> usersProcesses;
    std::optional<std::vector<RunningApplication>> everyProcess = std::nullopt;
};

std::string scope(std::string_view unit)
{
    return "0::/user.slice/user-1000.slice/user@1000.service/app.slice/" + std::string(unit) + "\n";
}

TEST(ProcRunningApplications, ProcessTable)
{
    const std::string root = "0\t0\t0\t0";
    const std::string term = scope("app-gnome-org.gnome.Terminal-4242.scope");
    const ProcCase cases[] = {
        { "in start order, ties by pid",
          { { .pid = 300, .comm = "late", .startTime = 900, .exe = "/usr/bin/late" },
            { .pid = 20, .comm = "tie-b", .startTime = 500, .exe = "/usr/bin/tie-b" },
            { .pid = 7, .comm = "tie-a", .startTime = 500, .exe = "/usr/bin/tie-a" },
            { .pid = 1, .comm = "init", .startTime = 10, .exe = "/sbin/init" } },
          { app("init", "init"), app("tie-a", "tie-a"), app("tie-b", "tie-b"), app("late", "late") } },
        { "the user's by real uid; every process takes in other users and services by name",
          { { .pid = 2, .comm = "kthreadd", .flags = kernelThreadFlags },
            { .pid = 10, .comm = "teamviewerd", .uids = root, .cgroup = "0::/system.slice/teamviewerd.service\n" },
            { .pid = 11, .comm = "theirs", .startTime = 2, .exe = "/usr/bin/x11vnc", .uids = "1001\t1000\t0\t0" },
            { .pid = 12,
              .comm = "rustdesk",
              .startTime = 3,
              .cmdline = std::string("/bin/rustdesk\0-s", 16),
              .uids = root },
            { .pid = 13, .comm = "setuid", .startTime = 4, .exe = "/usr/bin/su", .uids = "1000\t0\t0\t0" },
            { .pid = 14, .comm = "zombie", .startTime = 5, .state = 'Z' },
            { .pid = 15, .comm = "running", .startTime = 6, .state = 'R' } },
          { app("su", "setuid"), {} },
          std::vector { app("teamviewerd", "teamviewerd"), app("x11vnc", "theirs"), app("rustdesk", "rustdesk"),
                        app("su", "setuid"), app("running", "running") } },
        { "the stat read past a name with spaces and parentheses, a blank after it or not",
          { { .pid = 50, .comm = "x) S 1 1 1 0 -1 2097152 (y", .startTime = 8, .exe = "/opt/tricky" },
            { .pid = 51, .comm = "t", .exe = "/t", .stat = "51 (t)S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 10" },
            { .pid = 52, .comm = "p", .exe = "/p", .stat = "52 (p) S x 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 7" },
            { .pid = 53, .comm = "s", .exe = "/s", .stat = "53 (s) S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0" },
            { .pid = 40, .comm = "plain", .startTime = 9, .exe = "/usr/bin/plain" } },
          { app("tricky", "x) S 1 1 1 0 -1 2097152 (y"), app("plain", "plain"), app("t", "t") } },
        { "by executable, then by first argument, else nothing",
          { { .pid = 70, .comm = "upgraded", .exe = "/usr/bin/obs (deleted)" },
            { .pid = 71, .comm = "noexe", .cmdline = std::string("/usr/lib/helper\0--flag\0", 23) },
            { .pid = 72, .comm = "bare", .cmdline = std::string("recorder\0", 9) },
            { .pid = 73, .comm = "nothing" },
            { .pid = 74, .comm = "emptyargs", .cmdline = "" },
            { .pid = 75, .comm = "", .exe = "/usr/bin/nameless" } },
          { app("obs", "upgraded"), app("helper", "noexe"), app("recorder", "bare"), {}, {}, {} } },
        { "only the scope's leader carries the application ID; no cgroup file, none",
          { { .pid = 900, .comm = "shell", .exe = "/shell", .cgroup = scope("org.gnome.Shell@x11.service") },
            { .pid = 4242, .comm = "gnome-terminal-", .exe = "/gnome-terminal-server", .parent = 900, .cgroup = term },
            { .pid = 4250, .comm = "bash", .exe = "/usr/bin/bash", .parent = 4242, .cgroup = term },
            { .pid = 4260, .comm = "ffmpeg", .exe = "/usr/bin/ffmpeg", .parent = 4250, .cgroup = term },
            { .pid = 4270, .comm = "nocgroup", .exe = "/usr/bin/nocgroup", .cgroup = std::nullopt } },
          { app("shell", "shell"), app("org.gnome.Terminal", "gnome-terminal-"), app("bash", "bash"),
            app("ffmpeg", "ffmpeg"), app("nocgroup", "nocgroup") } },
    };
    for (const auto& testCase : cases) {
        const TemporaryFolder proc;
        writeProc(proc, testCase.processes);
        ProcRunningApplications applications(proc.path(), student);
        EXPECT_EQ(applications.runningApplications(), testCase.usersProcesses) << testCase.what;
        EXPECT_EQ(applications.everyProcess(), testCase.everyProcess.value_or(applications.everyProcess()))
            << testCase.what;
    }
}

TEST(ProcRunningApplications, SkipsWhatIsNoProcessOrCannotBeRead)
{
    const TemporaryFolder proc;
    writeProc(proc, { { .pid = 64, .comm = "survivor", .exe = "/usr/bin/survivor" } });
    proc.write("self/stat", "garbage");
    proc.write("0/stat", "0 (zero) S 1 0 0 0 -1 4194560 0 0 0 0 0 0 0 0 20 0 1 0 5 0 0");
    proc.makeFolder("60");
    proc.write("61/stat", "61 (half) S 1 61 61 0 -1 4194560 0 0");
    proc.write("62/stat", "62 (nostatus) S 1 62 62 0 -1 4194560 0 0 0 0 0 0 0 0 20 0 1 0 5 0 0");
    proc.write("63/status", "Uid:\t1000\t1000\t1000\t1000\n");
    EXPECT_EQ(ProcRunningApplications(proc.path(), student).runningApplications(),
              std::vector { app("survivor", "survivor") });
    EXPECT_TRUE(ProcRunningApplications("/nonexistent/proc", student).runningApplications().empty());
}

}
}
