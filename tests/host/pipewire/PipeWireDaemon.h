#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace tessaro {

// This process, the implementation and the tools it starts find the PipeWire of this runtime folder.
inline void useRuntimeFolder(const std::string& folder)
{
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    unsetenv("PIPEWIRE_REMOTE");
    unsetenv("PIPEWIRE_RUNTIME_DIR");
}

// A PipeWire daemon of the test's own, without a session manager, in a runtime folder of
// its own that the process then uses (only what a registry listener and node factories
// need: no audio, no devices). Nodes made in it stay until the daemon goes.
class PipeWireDaemon {
public:
    explicit PipeWireDaemon(const std::string& folder)
    {
        const std::string runtimeFolder = folder + "/pipewire-runtime";
        std::filesystem::create_directories(runtimeFolder);
        std::filesystem::permissions(runtimeFolder, std::filesystem::perms::owner_all);
        useRuntimeFolder(runtimeFolder);
        std::ofstream(folder + "/pipewire.conf")
            << "context.properties = { core.daemon = true core.name = pipewire-0 support.dbus = false }\n"
               "context.spa-libs = { videotestsrc = videotestsrc/libspa-videotestsrc support.* = "
               "support/libspa-support }\n"
               "context.modules = [ { name = libpipewire-module-protocol-native } { name = libpipewire-module-metadata "
               "}\n"
               "  { name = libpipewire-module-spa-node-factory } { name = libpipewire-module-client-node }\n"
               "  { name = libpipewire-module-access } { name = libpipewire-module-adapter }\n"
               "  { name = libpipewire-module-link-factory } ]\n";
        std::string command = "exec pipewire -c " + folder + "/pipewire.conf 2>" + folder + "/pipewire.log";
        char* argv[] = { const_cast<char*>("sh"), const_cast<char*>("-c"), command.data(), nullptr };
        if (posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0)
            throw std::runtime_error("cannot start pipewire");
        for (int i = 0; i < 100 && !std::filesystem::exists(runtimeFolder + "/pipewire-0"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!std::filesystem::exists(runtimeFolder + "/pipewire-0"))
            throw std::runtime_error("PipeWire did not start; see " + folder + "/pipewire.log");
    }
    ~PipeWireDaemon()
    {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    PipeWireDaemon(const PipeWireDaemon&) = delete;
    PipeWireDaemon& operator=(const PipeWireDaemon&) = delete;

    void signal(int signalNumber) { ::kill(m_pid, signalNumber); }

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
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
            throw std::runtime_error("failed: " + command);
    }

private:
    pid_t m_pid = -1;
};

}
