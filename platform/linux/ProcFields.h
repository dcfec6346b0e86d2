#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace tessaro {

// What the process list needs from /proc/PID/stat.
struct ProcStat {
    char state = '?';
    pid_t parentPid = 0;
    unsigned long flags = 0;
    unsigned long long startTime = 0; // clock ticks after boot
};

// Set in the flags of kernel threads, which no user started.
constexpr unsigned long kernelThreadFlag = 0x00200000;

// A process that has ended but was not yet reaped by its parent (a zombie), or is
// being torn down, runs nothing any more.
inline bool hasEnded(const ProcStat& stat)
{
    return stat.state == 'Z' || stat.state == 'X';
}

// The fields of /proc/PID/stat; nothing when the text is not one.
std::optional<ProcStat> parseProcStat(std::string_view text);

// The real user ID from the "Uid:" line of /proc/PID/status.
std::optional<uid_t> parseRealUid(std::string_view statusText);

// The process name from /proc/PID/comm.
std::optional<std::string> commandName(std::string_view commText);

// The file name of the executable that /proc/PID/exe points at.
std::optional<std::string> executableName(std::string_view exeTarget);

// The file name of argv[0] from /proc/PID/cmdline.
std::optional<std::string> firstArgumentName(std::string_view cmdlineText);

}
