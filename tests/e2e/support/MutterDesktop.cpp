#include "tests/e2e/support/MutterDesktop.h"

#include <filesystem>
#include <stdexcept>
#include <thread>

namespace tessaro::e2e {

MutterDesktop::MutterDesktop(const std::string& folder, Screens screens)
    : m_socket(folder + "/mutter-runtime/wayland-0")
{
    const std::string runtime = folder + "/mutter-runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::string mutter = "exec mutter --headless --wayland --no-x11 --virtual-monitor 1280x800";
    if (screens == Screens::two)
        mutter += " --virtual-monitor 1024x768";
    auto environment = inheritedEnvironment({ { "XDG_RUNTIME_DIR", runtime },
                                              { "HOME", folder + "/mutter-home" },
                                              { "XDG_CONFIG_HOME", folder + "/mutter-home/.config" } });
    environment.erase("DISPLAY");
    environment.erase("WAYLAND_DISPLAY");
    m_compositor
        = std::make_unique<Subprocess>(std::vector<std::string> { "dbus-run-session", "--", "sh", "-c",
                                                                  "echo \"$DBUS_SESSION_BUS_ADDRESS\"; " + mutter },
                                       environment, folder + "/mutter.log");
    const auto bus = m_compositor->waitForLine([](const std::string& line) { return !line.empty(); }, Seconds(20));
    for (int attempt = 0; attempt < 400 && !std::filesystem::exists(m_socket); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (!bus || !std::filesystem::exists(m_socket))
        throw std::runtime_error("mutter did not start (see " + folder + "/mutter.log)");
    // Started before the program, so the seat has its keyboard and pointer from the start.
    m_input = std::make_unique<InputProgram>(std::vector<std::string> { "/usr/bin/python3", MUTTER_INPUT_PROGRAM },
                                             inheritedEnvironment({ { "DBUS_SESSION_BUS_ADDRESS", *bus } }), folder,
                                             "mutter-input");
}

MutterDesktop::~MutterDesktop()
{
    m_input.reset();
    m_compositor.reset();
}

void MutterDesktop::addDisplay(Environment& environment) const
{
    // The session's runtime folder and the socket's name in it, as a desktop session
    // has them: WebKit's sandbox finds the socket only that way.
    environment["XDG_RUNTIME_DIR"] = std::filesystem::path(m_socket).parent_path();
    environment["WAYLAND_DISPLAY"] = std::filesystem::path(m_socket).filename();
    environment.erase("DISPLAY");
}

std::optional<std::string> MutterDesktop::waitForWindow(Subprocess& program, Seconds timeout) const
{
    // The program says once the window is shown and mutter answered its full-screen request.
    if (!program.waitForLine([](const std::string& l) { return l.starts_with("Was able to lock? "); }, timeout))
        return std::nullopt;
    return std::string();
}

std::optional<std::string> MutterDesktop::waitForDialog(const std::string&, Seconds) const
{
    std::this_thread::sleep_for(std::chrono::seconds(3));
    return std::string();
}

void MutterDesktop::key(const std::string&, const std::string& keys) const
{
    m_input->request("keys " + keys);
}

void MutterDesktop::type(const std::string&, const std::string& text) const
{
    m_input->request("type " + text);
}

void MutterDesktop::click(const std::string&, int x, int y, int button) const
{
    m_input->request("click " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(button));
}

void MutterDesktop::requestClose(const std::string& window, int times) const
{
    std::string keys;
    for (int i = 0; i < times; ++i)
        keys += " alt+F4";
    key(window, keys);
}

std::optional<std::string> MutterDesktop::selection(const std::string& name) const
{
    if (name != "clipboard")
        return std::nullopt;
    // Mutter answers the read of an offer without text with no bytes at all.
    const auto answer = m_input->request("paste");
    if (!answer.starts_with("text ") || answer.size() == 5)
        return std::nullopt;
    return answer.substr(5);
}

void MutterDesktop::setSelection(const std::string& name, const std::string& text) const
{
    if (name == "clipboard")
        m_input->request("copy " + text);
}

}
