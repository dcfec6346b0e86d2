#include "tests/e2e/support/Subprocess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tessaro::e2e {

namespace {

std::vector<char*> cStrings(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (auto& string : strings)
        pointers.push_back(string.data());
    pointers.push_back(nullptr);
    return pointers;
}

int decodeStatus(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}

Environment inheritedEnvironment(const Environment& overrides)
{
    Environment environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos)
            environment[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [key, value] : overrides)
        environment[key] = value;
    return environment;
}

Subprocess::Subprocess(const std::vector<std::string>& argv, const Environment& environment,
                       const std::string& stderrPath)
{
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);

    std::vector<std::string> arguments = argv;
    std::vector<std::string> entries;
    for (const auto& [key, value] : environment)
        entries.push_back(key + "=" + value);
    auto argumentPointers = cStrings(arguments);
    auto environmentPointers = cStrings(entries);
    const int error = posix_spawnp(&m_pid, arguments[0].c_str(), &actions, &attributes, argumentPointers.data(),
                                   environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(output[1]);
    if (error) {
        close(output[0]);
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    }
    m_reader = std::thread([this, fd = output[0]] { readOutput(fd); });
}

Subprocess::~Subprocess()
{
    if (!m_status) {
        ::kill(-m_pid, SIGKILL);
        waitForExit(Seconds(10));
    }
    ::kill(-m_pid, SIGKILL);
    m_stopReading = true;
    if (m_reader.joinable())
        m_reader.join();
}

void Subprocess::readOutput(int fd)
{
    std::string pending;
    char buffer[65536];
    // A daemon the child left behind may hold the pipe open forever: look up now and
    // then to see whether the owner is going.
    while (!m_stopReading) {
        pollfd readable { fd, POLLIN, 0 };
        if (poll(&readable, 1, 100) == 0)
            continue;
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        pending.append(buffer, count);
        std::size_t newline;
        std::lock_guard lock(m_mutex);
        while ((newline = pending.find('\n')) != std::string::npos) {
            m_lines.push_back(pending.substr(0, newline));
            pending.erase(0, newline + 1);
        }
        m_changed.notify_all();
    }
    close(fd);
    std::lock_guard lock(m_mutex);
    if (!pending.empty())
        m_lines.push_back(pending);
    m_outputClosed = true;
    m_changed.notify_all();
}

std::vector<std::string> Subprocess::lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

std::optional<std::string> Subprocess::waitForLine(const std::function<bool(const std::string&)>& matches,
                                                   Seconds timeout)
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    std::unique_lock lock(m_mutex);
    std::size_t checked = 0;
    for (;;) {
        for (; checked < m_lines.size(); ++checked) {
            if (matches(m_lines[checked]))
                return m_lines[checked];
        }
        if (m_outputClosed || m_changed.wait_until(lock, deadline) == std::cv_status::timeout) {
            for (; checked < m_lines.size(); ++checked) {
                if (matches(m_lines[checked]))
                    return m_lines[checked];
            }
            return std::nullopt;
        }
    }
}

std::optional<std::string> Subprocess::waitForLine(const std::string& exact, Seconds timeout)
{
    return waitForLine([&](const std::string& line) { return line == exact; }, timeout);
}

std::optional<int> Subprocess::waitForExit(Seconds timeout)
{
    if (m_status)
        return m_status;
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    for (;;) {
        int status = 0;
        const pid_t result = waitpid(m_pid, &status, WNOHANG);
        if (result == m_pid) {
            m_status = decodeStatus(status);
            return m_status;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Subprocess::signal(int signalNumber)
{
    ::kill(m_pid, signalNumber);
}

CommandResult runCommand(const std::vector<std::string>& argv, const Environment& environment, Seconds timeout)
{
    Subprocess process(argv, environment, "/dev/null");
    const auto status = process.waitForExit(timeout);
    std::string output;
    // A daemon the command left behind (xclip serving a selection) may keep the pipe open.
    process.waitForLine([](const std::string&) { return false; }, Seconds(status ? 0.5 : 0));
    for (const auto& line : process.lines())
        output += line + "\n";
    return { status.value_or(-1), output };
}

}
