#pragma once

#include <map>
#include <memory>
#include <string>

#include "tests/e2e/support/Subprocess.h"

namespace tessaro::e2e {

// A PipeWire daemon of the test's own, without a session manager, listening in a runtime
// folder of its own. Nodes made in it stay until the daemon goes.
class PipeWireDaemon {
public:
    explicit PipeWireDaemon(const std::string& folder);

    // What a client needs to find this daemon (and no other): its runtime folder as
    // XDG_RUNTIME_DIR, or its socket as PIPEWIRE_REMOTE, which leaves the desktop's
    // runtime folder alone.
    const std::string& runtimeFolder() const { return m_runtimeFolder; }
    std::string socket() const { return m_runtimeFolder + "/pipewire-0"; }
    Environment environment() const;

    // A node from one of the daemon's SPA factories ("videotestsrc"), with these properties.
    void createNode(const std::string& factory, const std::map<std::string, std::string>& properties) const;
    // Links two ports, each named "node.name:port.name", as a session manager would.
    void link(const std::string& outputPort, const std::string& inputPort) const;
    void signal(int signalNumber) { m_daemon->signal(signalNumber); }

    // A video source as a desktop portal makes it for a screen cast, and a camera.
    static std::map<std::string, std::string> screenCast(const std::string& application);
    static std::map<std::string, std::string> camera();

private:
    std::string m_runtimeFolder;
    std::unique_ptr<Subprocess> m_daemon;
};

}
