#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>

namespace tessaro {

// This process, the implementation and the tools it starts find the PipeWire of this runtime folder.
inline void useRuntimeFolder(const std::string& folder)
{
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    unsetenv("PIPEWIRE_REMOTE");
    unsetenv("PIPEWIRE_RUNTIME_DIR");
}

// The end-to-end harness's PipeWire daemon (no session manager, no audio, no devices),
// started in the folder for this process to use. Nodes made in it stay until it goes.
class PipeWireDaemon {
public:
    explicit PipeWireDaemon(const std::string& folder)
    {
        const std::string command = "PYTHONPATH='" E2E_DIR "' PYTHONDONTWRITEBYTECODE=1 python3 -c 'import sys\n"
                                    "from harness.pipewire import PipeWire\nfrom harness.processes import Processes\n"
                                    "processes = Processes(sys.argv[1])\nPipeWire(processes, sys.argv[1])\n"
                                    "print(processes.started[0].pid)' "
            + folder;
        FILE* harness = ::popen(command.c_str(), "r");
        const bool started = harness && std::fscanf(harness, "%d", &m_pid) == 1;
        if (harness)
            ::pclose(harness);
        if (!started)
            throw std::runtime_error("PipeWire did not start; see " + folder + "/pipewire.log");
        useRuntimeFolder(folder + "/pipewire-runtime");
    }
    ~PipeWireDaemon() { signal(SIGKILL); }
    PipeWireDaemon(const PipeWireDaemon&) = delete;
    PipeWireDaemon& operator=(const PipeWireDaemon&) = delete;

    void signal(int signalNumber) const { ::kill(m_pid, signalNumber); }

    // A video test source with these properties, as a desktop portal's screen cast or a camera.
    static void createNode(const std::map<std::string, std::string>& properties)
    {
        std::string arguments = "{ factory.name=videotestsrc object.linger=true";
        for (const auto& [key, value] : properties)
            arguments += " " + key + "=\"" + value + "\"";
        run("pw-cli create-node spa-node-factory '" + arguments + " }'");
    }
    // A command of the daemon's tools (pw-cli, pw-link), which find it through XDG_RUNTIME_DIR.
    static void run(const std::string& command)
    {
        if (std::system(("(" + command + ") >/dev/null 2>&1").c_str()) != 0)
            throw std::runtime_error("failed: " + command);
    }

private:
    pid_t m_pid = -1;
};

}
