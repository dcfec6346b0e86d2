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
constexpr uid_t someoneElse = 1001;
constexpr unsigned long ordinaryFlags = 0x00400100;
constexpr unsigned long kernelThreadFlags = 0x00208040;

struct FakeProcess {
    FakeProcess(pid_t pid, std::string comm, unsigned long long startTime)
        : pid(pid)
        , comm(std::move(comm))
        , startTime(startTime)
    {
    }

    FakeProcess& withState(char value)
    {
        state = value;
        return *this;
    }
    FakeProcess& withParent(pid_t value)
    {
        parent = value;
        return *this;
    }
    FakeProcess& withUids(std::string value)
    {
        uidLine = std::move(value);
        return *this;
    }
    FakeProcess& withFlags(unsigned long value)
    {
        flags = value;
        return *this;
    }
    FakeProcess& withCgroup(std::optional<std::string> value)
    {
        cgroup = std::move(value);
        return *this;
    }
    FakeProcess& withExe(std::string value)
    {
        exe = std::move(value);
        return *this;
    }
    FakeProcess& withCmdline(std::string value)
    {
        cmdline = std::move(value);
        return *this;
    }

    pid_t pid;
    std::string comm;
    unsigned long long startTime;
    char state = 'S';
    pid_t parent = 1;
    std::string uidLine = "1000\t1000\t1000\t1000";
    unsigned long flags = ordinaryFlags;
    std::optional<std::string> cgroup = "0::/user.slice/user-1000.slice/session-2.scope\n";
    std::optional<std::string> exe;
    std::optional<std::string> cmdline;
};

// A /proc tree holding only the files the process list reads.
class FakeProc {
public:
    void add(const FakeProcess& process) const
    {
        const std::string pid = std::to_string(process.pid);
        // Fields 3 to 22: state, ppid, pgrp, session, tty, tpgid, flags, four fault
        // counts, four times, priority, nice, threads, itrealvalue, starttime.
        root.write(pid + "/stat",
                   pid + " (" + process.comm + ") " + process.state + " " + std::to_string(process.parent) + " " + pid
                       + " " + pid + " 0 -1 " + std::to_string(process.flags) + " 0 0 0 0 0 0 0 0 20 0 1 0 "
                       + std::to_string(process.startTime) + " 17000000 900 18446744073709551615\n");
        root.write(pid + "/status",
                   "Name:\t" + process.comm + "\nUmask:\t0022\nState:\tS (sleeping)\nPid:\t" + pid + "\nUid:\t"
                       + process.uidLine + "\nGid:\t1000\t1000\t1000\t1000\n");
        root.write(pid + "/comm", process.comm + "\n");
        if (process.cgroup)
            root.write(pid + "/cgroup", *process.cgroup);
        if (process.exe)
            std::filesystem::create_symlink(*process.exe, root / (pid + "/exe"));
        if (process.cmdline)
            root.write(pid + "/cmdline", *process.cmdline);
    }

    std::vector<RunningApplication> list() const
    {
        return ProcRunningApplications(root.path(), student).runningApplications();
    }

    TemporaryFolder root;
};

RunningApplication app(std::string identifier, std::string name)
{
    return ApplicationData { std::move(identifier), std::move(name) };
}

void expectApplications(const std::vector<RunningApplication>& actual, const std::vector<RunningApplication>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "entry " << i;
}

std::string scopeCgroup(std::string_view unit)
{
    return "0::/user.slice/user-1000.slice/user@1000.service/app.slice/" + std::string(unit) + "\n";
}

TEST(ProcRunningApplications, ListsTheUsersProcessesInStartOrderTiesByPid)
{
    FakeProc proc;
    proc.add(FakeProcess(300, "late", 900).withExe("/usr/bin/late"));
    proc.add(FakeProcess(20, "tie-b", 500).withExe("/usr/bin/tie-b"));
    proc.add(FakeProcess(7, "tie-a", 500).withExe("/usr/bin/tie-a"));
    proc.add(FakeProcess(4000, "early", 10).withExe("/usr/bin/early"));
    proc.root.write("self/stat", "garbage");
    proc.root.write("cpuinfo", "processor : 0\n");

    expectApplications(proc.list(),
                       { app("early", "early"), app("tie-a", "tie-a"), app("tie-b", "tie-b"), app("late", "late") });
}

TEST(ProcRunningApplications, LeavesOutKernelThreadsEndedProcessesAndOtherUsersByRealUid)
{
    FakeProc proc;
    proc.add(FakeProcess(2, "kthreadd", 1).withFlags(kernelThreadFlags));
    proc.add(FakeProcess(10, "theirs", 2).withUids("1001\t1001\t1001\t1001").withExe("/usr/bin/theirs"));
    proc.add(FakeProcess(11, "setuid-by-us", 3).withUids("1000\t0\t0\t0").withExe("/usr/bin/su"));
    proc.add(FakeProcess(12, "ours-as-them", 4).withUids("1001\t1000\t1000\t1000").withExe("/usr/bin/x"));
    proc.add(FakeProcess(13, "mine", 5).withExe("/usr/bin/mine"));
    proc.add(FakeProcess(14, "zombie", 6).withState('Z').withCmdline(""));
    proc.add(FakeProcess(15, "running", 7).withState('R').withExe("/usr/bin/running"));

    expectApplications(proc.list(), { app("su", "setuid-by-us"), app("mine", "mine"), app("running", "running") });
    EXPECT_EQ(ProcRunningApplications(proc.root.path(), someoneElse).runningApplications().size(), 2u);
}

// The launch gate looks at system services too: whatever user runs them, and
// identified by their process name when their executable and command line are hidden.
TEST(ProcRunningApplications, EveryProcessTakesInOtherUsersAndTheSystem)
{
    FakeProc proc;
    proc.add(FakeProcess(2, "kthreadd", 1).withFlags(kernelThreadFlags));
    proc.add(
        FakeProcess(10, "teamviewerd", 2).withUids("0\t0\t0\t0").withCgroup("0::/system.slice/teamviewerd.service\n"));
    proc.add(FakeProcess(11, "x11vnc", 3).withUids("1001\t1001\t1001\t1001").withExe("/usr/bin/x11vnc"));
    proc.add(FakeProcess(12, "rustdesk-servi", 4)
                 .withUids("0\t0\t0\t0")
                 .withCmdline(std::string("/usr/bin/rustdesk\0--service\0", 28)));
    proc.add(FakeProcess(13, "mine", 5).withExe("/usr/bin/mine"));
    proc.add(FakeProcess(14, "gone", 6).withUids("0\t0\t0\t0").withState('Z'));
    proc.add(FakeProcess(15, "ownhidden", 7));

    expectApplications(ProcRunningApplications(proc.root.path(), student).everyProcess(),
                       { app("teamviewerd", "teamviewerd"), app("x11vnc", "x11vnc"), app("rustdesk", "rustdesk-servi"),
                         app("mine", "mine"), app("ownhidden", "ownhidden") });
    expectApplications(proc.list(), { app("mine", "mine"), {} });
}

TEST(ProcRunningApplications, ReadsTheStatPastANameWithSpacesAndParentheses)
{
    FakeProc proc;
    proc.add(FakeProcess(50, "x) S 1 1 1 0 -1 2097152 (y", 8).withExe("/opt/tricky"));
    proc.add(FakeProcess(40, "plain", 9).withExe("/usr/bin/plain"));

    expectApplications(proc.list(), { app("tricky", "x) S 1 1 1 0 -1 2097152 (y"), app("plain", "plain") });
}

TEST(ProcRunningApplications, SkipsProcessesThatVanishedOrCannotBeRead)
{
    FakeProc proc;
    proc.root.makeFolder("60");
    proc.root.write("61/stat", "61 (half) S 1 61 61 0 -1 4194560 0 0");
    proc.root.write("62/stat", "62 (nostatus) S 1 62 62 0 -1 4194560 0 0 0 0 0 0 0 0 20 0 1 0 5 0 0");
    proc.root.write("63/status", "Uid:\t1000\t1000\t1000\t1000\n");
    proc.add(FakeProcess(64, "survivor", 100).withExe("/usr/bin/survivor"));

    expectApplications(proc.list(), { app("survivor", "survivor") });
}

TEST(ProcRunningApplications, MissingProcRootGivesNoApplications)
{
    EXPECT_TRUE(ProcRunningApplications("/nonexistent/proc", student).runningApplications().empty());
}

TEST(ProcRunningApplications, IdentifiesByExecutableThenByFirstArgumentElseNothing)
{
    FakeProc proc;
    proc.add(FakeProcess(70, "upgraded", 1).withExe("/usr/bin/obs (deleted)"));
    proc.add(FakeProcess(71, "noexe", 2).withCmdline(std::string("/usr/lib/helper\0--flag\0", 23)));
    proc.add(FakeProcess(72, "bare", 3).withCmdline(std::string("recorder\0", 9)));
    proc.add(FakeProcess(73, "nothing", 4));
    proc.add(FakeProcess(74, "emptyargs", 5).withCmdline(""));
    proc.add(FakeProcess(75, "nameless", 6).withExe("/usr/bin/nameless"));
    std::filesystem::remove(proc.root / "75/comm");

    expectApplications(proc.list(),
                       { app("obs", "upgraded"), app("helper", "noexe"), app("recorder", "bare"), RunningApplication {},
                         RunningApplication {}, RunningApplication {} });
}

TEST(ProcRunningApplications, OnlyTheScopeLeaderCarriesTheApplicationId)
{
    FakeProc proc;
    const auto terminalScope = scopeCgroup("app-gnome-org.gnome.Terminal-4242.scope");
    proc.add(FakeProcess(900, "gnome-shell", 1)
                 .withCgroup(scopeCgroup("org.gnome.Shell@x11.service"))
                 .withExe("/usr/bin/gnome-shell"));
    proc.add(FakeProcess(4242, "gnome-terminal-", 2)
                 .withParent(900)
                 .withCgroup(terminalScope)
                 .withExe("/usr/libexec/gnome-terminal-server"));
    proc.add(FakeProcess(4250, "bash", 3).withParent(4242).withCgroup(terminalScope).withExe("/usr/bin/bash"));
    proc.add(FakeProcess(4260, "ffmpeg", 4).withParent(4250).withCgroup(terminalScope).withExe("/usr/bin/ffmpeg"));

    expectApplications(proc.list(),
                       { app("gnome-shell", "gnome-shell"), app("org.gnome.Terminal", "gnome-terminal-"),
                         app("bash", "bash"), app("ffmpeg", "ffmpeg") });
}

TEST(ProcRunningApplications, ApplicationIdsFromEveryKindOfUnit)
{
    FakeProc proc;
    proc.add(FakeProcess(1500, "systemd", 1).withCgroup(scopeCgroup("init.scope")).withExe("/usr/lib/systemd/systemd"));
    proc.add(FakeProcess(1501, "obs", 2)
                 .withParent(1500)
                 .withCgroup(scopeCgroup("app-flatpak-com.obsproject.Studio-12345.scope"))
                 .withExe("/app/bin/obs"));
    proc.add(FakeProcess(1502, "recorder", 3)
                 .withParent(1500)
                 .withCgroup(scopeCgroup("app-gnome-org.example.Screen\\x2dRecorder-77.scope"))
                 .withExe("/usr/bin/recorder"));
    proc.add(FakeProcess(1503, "spectacle", 4)
                 .withParent(1500)
                 .withCgroup(scopeCgroup("app-KDE-org.kde.spectacle@0f3c2d9b8e7a4c1d9e2f3a4b5c6d7e8f.service"))
                 .withExe("/usr/bin/spectacle"));
    proc.add(FakeProcess(1504, "zoom", 5)
                 .withParent(1500)
                 .withCgroup(scopeCgroup("snap.zoom-client.zoom-client-2c9ea2a0-1e6b-4a4e-9a57-4b3c1c2d3e4f.scope"))
                 .withExe("/snap/zoom-client/current/zoom"));
    proc.add(FakeProcess(1505, "desk", 6)
                 .withParent(1500)
                 .withCgroup("12:pids:/user.slice\n1:name=systemd:/user.slice/app-org.example.Desk@autostart.service\n")
                 .withExe("/usr/bin/desk"));
    proc.add(FakeProcess(1506, "nocgroup", 7).withParent(1500).withCgroup(std::nullopt).withExe("/usr/bin/nocgroup"));

    expectApplications(proc.list(),
                       { app("systemd", "systemd"), app("com.obsproject.Studio", "obs"),
                         app("org.example.Screen-Recorder", "recorder"), app("org.kde.spectacle", "spectacle"),
                         app("zoom-client_zoom-client", "zoom"), app("org.example.Desk", "desk"),
                         app("nocgroup", "nocgroup") });
}

}
}
