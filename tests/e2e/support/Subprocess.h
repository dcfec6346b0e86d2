#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tessaro::e2e {

using Seconds = std::chrono::duration<double>;
using Environment = std::map<std::string, std::string>;

// A child process in a process group of its own. Its standard output is read line by
// line as it comes; its standard error goes to a file. The group is killed when the
// object goes, so no test leaves a process behind.
class Subprocess {
public:
    Subprocess(const std::vector<std::string>& argv, const Environment& environment, const std::string& stderrPath);
    ~Subprocess();
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    int pid() const { return m_pid; }
    std::vector<std::string> lines() const;
    // The first line (from the start) that matches, waiting for it up to the timeout.
    std::optional<std::string> waitForLine(const std::function<bool(const std::string&)>& matches, Seconds timeout);
    std::optional<std::string> waitForLine(const std::string& exact, Seconds timeout);
    // The exit status (128 + signal when killed by one), or nothing if still running.
    std::optional<int> waitForExit(Seconds timeout);
    void signal(int signalNumber);

private:
    void readOutput(int fd);

    int m_pid = -1;
    std::optional<int> m_status;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_lines;
    bool m_outputClosed = false;
    std::atomic<bool> m_stopReading = false;
};

// Runs a command to its end and gives its status and standard output.
struct CommandResult {
    int status;
    std::string output;
};
CommandResult runCommand(const std::vector<std::string>& argv, const Environment& environment, Seconds timeout);

// The test process's own environment with the given entries replaced or added.
Environment inheritedEnvironment(const Environment& overrides);

}
