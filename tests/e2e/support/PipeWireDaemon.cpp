#include "tests/e2e/support/PipeWireDaemon.h"

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "tests/e2e/support/TemporaryFolder.h"

namespace tessaro::e2e {

namespace {

// Only what a registry listener and node factories need: no audio, no devices.
constexpr const char* configuration = R"(context.properties = {
    core.daemon = true
    core.name = pipewire-0
    support.dbus = false
}
context.spa-libs = {
    videotestsrc = videotestsrc/libspa-videotestsrc
    support.* = support/libspa-support
}
context.modules = [
    { name = libpipewire-module-protocol-native }
    { name = libpipewire-module-metadata }
    { name = libpipewire-module-spa-node-factory }
    { name = libpipewire-module-client-node }
    { name = libpipewire-module-access }
    { name = libpipewire-module-adapter }
    { name = libpipewire-module-link-factory }
]
)";

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

}

PipeWireDaemon::PipeWireDaemon(const std::string& folder)
    : m_runtimeFolder(folder + "/pipewire-runtime")
{
    std::filesystem::create_directories(m_runtimeFolder);
    std::filesystem::permissions(m_runtimeFolder, std::filesystem::perms::owner_all);
    const std::string config = folder + "/pipewire.conf";
    writeFile(config, configuration);
    m_daemon = std::make_unique<Subprocess>(std::vector<std::string> { "pipewire", "-c", config }, environment(),
                                            folder + "/pipewire.log");
    for (int i = 0; i < 100 && !exists(socket()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!exists(socket()))
        throw std::runtime_error("PipeWire did not start; see " + folder + "/pipewire.log");
}

Environment PipeWireDaemon::environment() const
{
    auto environment = inheritedEnvironment({ { "XDG_RUNTIME_DIR", m_runtimeFolder } });
    environment.erase("PIPEWIRE_REMOTE");
    environment.erase("PIPEWIRE_RUNTIME_DIR");
    return environment;
}

void PipeWireDaemon::createNode(const std::string& factory, const std::map<std::string, std::string>& properties) const
{
    std::string arguments = "{ factory.name=" + factory + " object.linger=true";
    for (const auto& [key, value] : properties)
        arguments += " " + key + "=" + quoted(value);
    arguments += " }";
    const auto result
        = runCommand({ "pw-cli", "create-node", "spa-node-factory", arguments }, environment(), Seconds(10));
    if (result.status != 0)
        throw std::runtime_error("pw-cli create-node failed: " + result.output);
}

void PipeWireDaemon::link(const std::string& outputPort, const std::string& inputPort) const
{
    const auto result = runCommand({ "pw-link", outputPort, inputPort }, environment(), Seconds(10));
    if (result.status != 0)
        throw std::runtime_error("pw-link " + outputPort + " " + inputPort + " failed: " + result.output);
}

std::map<std::string, std::string> PipeWireDaemon::screenCast(const std::string& application)
{
    return { { "media.class", "Video/Source" }, { "node.name", "xdpw_stream" }, { "application.name", application } };
}

std::map<std::string, std::string> PipeWireDaemon::camera()
{
    return { { "media.class", "Video/Source" },
             { "media.role", "Camera" },
             { "device.api", "v4l2" },
             { "node.name", "v4l2_input.pci-0000_00_14.0-usb-0_1_1.0" },
             { "application.name", "camera" } };
}

}
