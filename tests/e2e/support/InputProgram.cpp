#include "tests/e2e/support/InputProgram.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaro::e2e {

InputProgram::InputProgram(std::vector<std::string> argv, const Environment& environment, const std::string& folder,
                           const std::string& name)
    : m_requests(folder + "/" + name + ".requests")
{
    if (mkfifo(m_requests.c_str(), 0600) != 0)
        throw std::runtime_error("mkfifo failed for " + m_requests);
    argv.push_back(m_requests);
    m_process = std::make_unique<Subprocess>(argv, environment, folder + "/" + name + ".log");
    if (!m_process->waitForLine("ready", Seconds(20)))
        throw std::runtime_error(name + " did not start (see " + folder + "/" + name + ".log)");
}

std::string InputProgram::request(const std::string& text)
{
    const std::string number = std::to_string(++m_lastRequest);
    const std::string line = number + " " + text + "\n";
    const int fifo = open(m_requests.c_str(), O_WRONLY | O_CLOEXEC);
    if (fifo < 0)
        return {};
    const bool sent = write(fifo, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    close(fifo);
    if (!sent)
        return {};
    const auto answer
        = m_process->waitForLine([&](const std::string& l) { return l.starts_with(number + " "); }, Seconds(15));
    return answer ? answer->substr(number.size() + 1) : std::string();
}

}
