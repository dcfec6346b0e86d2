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

// A PipeWire daemon of the test's own, without a session manager, listening in a runtime
// folder of its own (only what a registry listener and node factories need: no audio, no
// devices). Nodes made in it stay until the daemon goes.
class PipeWireDaemon {
public:
    using Properties = std::map<std::string, std::string>;

    explicit PipeWireDaemon(const std::string& folder)
        : m_runtimeFolder(folder + "/pipewire-runtime")
    {
        std::filesystem::create_directories(m_runtimeFolder);
        std::filesystem::permissions(m_runtimeFolder, std::filesystem::perms::owner_all);
        std::ofstream(folder + "/pipewire.conf")
            << "context.properties = { core.daemon = true core.name = pipewire-0 support.dbus = false }\n"
               "context.spa-libs = { videotestsrc = videotestsrc/libspa-videotestsrc support.* = "
               "support/libspa-support }\n"
               "context.modules = [ { name = libpipewire-module-protocol-native } { name = libpipewire-module-metadata "
               "}\n"
               "  { name = libpipewire-module-spa-node-factory } { name = libpipewire-module-client-node }\n"
               "  { name = libpipewire-module-access } { name = libpipewire-module-adapter }\n"
               "  { name = libpipewire-module-link-factory } ]\n";
        std::string command = tools() + "exec pipewire -c " + folder + "/pipewire.conf 2>" + folder + "/pipewire.log";
        char* argv[] = { const_cast<char*>("sh"), const_cast<char*>("-c"), command.data(), nullptr };
        if (posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0)
            throw std::runtime_error("cannot start pipewire");
        for (int i = 0; i < 100 && !std::filesystem::exists(m_runtimeFolder + "/pipewire-0"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!std::filesystem::exists(m_runtimeFolder + "/pipewire-0"))
            throw std::runtime_error("PipeWire did not start; see " + folder + "/pipewire.log");
    }
    ~PipeWireDaemon()
    {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    PipeWireDaemon(const PipeWireDaemon&) = delete;
    PipeWireDaemon& operator=(const PipeWireDaemon&) = delete;

    const std::string& runtimeFolder() const { return m_runtimeFolder; }
    void signal(int signalNumber) { ::kill(m_pid, signalNumber); }

    // A node from one of the daemon's SPA factories ("videotestsrc"), with these properties.
    void createNode(const std::string& factory, const Properties& properties) const
    {
        std::string arguments = "{ factory.name=" + factory + " object.linger=true";
        for (const auto& [key, value] : properties)
            arguments += " " + key + "=\"" + value + "\"";
        run("pw-cli create-node spa-node-factory '" + arguments + " }'");
    }
    // Links two ports, each named "node.name:port.name", as a session manager would.
    void link(const std::string& outputPort, const std::string& inputPort) const
    {
        run("pw-link '" + outputPort + "' '" + inputPort + "'");
    }

    // A video source as a desktop portal makes it for a screen cast, and a camera.
    static Properties screenCast(const std::string& application)
    {
        return { { "media.class", "Video/Source" },
                 { "node.name", "xdpw_stream" },
                 { "application.name", application } };
    }
    static Properties camera()
    {
        return { { "media.class", "Video/Source" },
                 { "media.role", "Camera" },
                 { "device.api", "v4l2" },
                 { "node.name", "v4l2_input.pci-0000_00_14.0-usb-0_1_1.0" },
                 { "application.name", "camera" } };
    }

private:
    // The daemon's tools find this daemon, and no other.
    std::string tools() const
    {
        return "unset PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR; XDG_RUNTIME_DIR='" + m_runtimeFolder
            + "'; export XDG_RUNTIME_DIR; ";
    }
    void run(const std::string& command) const
    {
        if (std::system((tools() + command + " >/dev/null 2>&1").c_str()) != 0)
            throw std::runtime_error("failed: " + command);
    }

    std::string m_runtimeFolder;
    pid_t m_pid = -1;
};

}
