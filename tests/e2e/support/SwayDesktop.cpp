#include "tests/e2e/support/SwayDesktop.h"

#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

#include "tests/e2e/support/TemporaryFolder.h"

namespace tessaro::e2e {

namespace {

constexpr unsigned nobody = 65534;

void giveToNobody(const std::string& folder)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        (void)lchown(entry.path().c_str(), nobody, nobody);
    (void)chown(folder.c_str(), nobody, nobody);
}

std::optional<nlohmann::json> findNode(const nlohmann::json& node,
                                       const std::function<bool(const nlohmann::json&)>& matches)
{
    if (matches(node))
        return node;
    for (const char* children : { "nodes", "floating_nodes" }) {
        for (const auto& child : node.value(children, nlohmann::json::array())) {
            if (auto found = findNode(child, matches))
                return found;
        }
    }
    return std::nullopt;
}

}

SwayDesktop::SwayDesktop(const std::string& folder, Screens screens)
    : m_runtime(folder + "/sway-runtime")
    , m_asNobody(geteuid() == 0)
{
    std::filesystem::create_directories(m_runtime);
    std::filesystem::permissions(m_runtime, std::filesystem::perms::owner_all);
    std::filesystem::create_directories(folder + "/sway-home");
    const std::string config = folder + "/sway.conf";
    writeFile(config, "output HEADLESS-1 resolution 1280x800\ndefault_border none\n");
    if (m_asNobody)
        giveToNobody(folder);

    m_compositor = std::make_unique<Subprocess>(command({ "sway", "-c", config }),
                                                Environment {
                                                    { "PATH", "/usr/sbin:/usr/bin:/sbin:/bin" },
                                                    { "HOME", folder + "/sway-home" },
                                                    { "XDG_RUNTIME_DIR", m_runtime },
                                                    { "WLR_BACKENDS", "headless" },
                                                    { "WLR_LIBINPUT_NO_DEVICES", "1" },
                                                    { "WLR_RENDERER", "pixman" },
                                                },
                                                folder + "/sway.log");
    for (int attempt = 0; attempt < 400 && (m_socket.empty() || m_ipc.empty()); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        for (const auto& entry : std::filesystem::directory_iterator(m_runtime)) {
            const std::string name = entry.path().filename();
            if (name.starts_with("wayland-") && !name.ends_with(".lock"))
                m_socket = entry.path();
            if (name.starts_with("sway-ipc."))
                m_ipc = entry.path();
        }
    }
    if (m_socket.empty() || m_ipc.empty() || run({ "swaymsg", "-t", "get_version" }).status != 0)
        throw std::runtime_error("sway did not start (see " + folder + "/sway.log)");
    if (screens == Screens::two)
        run({ "swaymsg", "create_output" });

    const auto tools = inheritedEnvironment({ { "XDG_RUNTIME_DIR", m_runtime }, { "WAYLAND_DISPLAY", m_socket } });
    m_keyboard = std::make_unique<Subprocess>(std::vector<std::string> { "wtype", "-s", "86400000" }, tools,
                                              folder + "/sway-keyboard.log");
    m_pointer = std::make_unique<InputProgram>(
        std::vector<std::string> { "/usr/bin/python3", SWAY_POINTER_PROGRAM, m_socket, "1280", "800" }, tools, folder,
        "sway-pointer");
}

SwayDesktop::~SwayDesktop()
{
    m_pointer.reset();
    m_keyboard.reset();
    m_compositor.reset();
}

CommandResult SwayDesktop::run(const std::vector<std::string>& argv) const
{
    return runCommand(argv,
                      inheritedEnvironment(
                          { { "XDG_RUNTIME_DIR", m_runtime }, { "WAYLAND_DISPLAY", m_socket }, { "SWAYSOCK", m_ipc } }),
                      Seconds(10));
}

void SwayDesktop::addDisplay(Environment& environment) const
{
    // The session's runtime folder and the socket's name in it, as a desktop session
    // has them: WebKit's sandbox finds the socket only that way.
    environment["XDG_RUNTIME_DIR"] = m_runtime;
    environment["WAYLAND_DISPLAY"] = std::filesystem::path(m_socket).filename();
    environment.erase("DISPLAY");
}

std::vector<std::string> SwayDesktop::command(std::vector<std::string> argv) const
{
    if (!m_asNobody)
        return argv;
    std::vector<std::string> asNobody { "setpriv", "--reuid=" + std::to_string(nobody),
                                        "--regid=" + std::to_string(nobody), "--clear-groups", "--" };
    asNobody.insert(asNobody.end(), argv.begin(), argv.end());
    return asNobody;
}

std::optional<nlohmann::json> SwayDesktop::waitForNode(const std::function<bool(const nlohmann::json&)>& matches,
                                                       Seconds timeout) const
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    do {
        const auto tree = nlohmann::json::parse(run({ "swaymsg", "-r", "-t", "get_tree" }).output, nullptr, false);
        if (!tree.is_discarded()) {
            if (auto node = findNode(tree, matches))
                return node;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

std::optional<std::string> SwayDesktop::waitForWindow(Subprocess& program, Seconds timeout) const
{
    const int pid = program.pid();
    const auto node = waitForNode(
        [pid](const nlohmann::json& n) { return n.value("pid", -1) == pid && n.value("visible", false); }, timeout);
    if (!node)
        return std::nullopt;
    return std::to_string(node->at("id").get<long>());
}

std::optional<std::string> SwayDesktop::waitForDialog(const std::string& title, Seconds timeout) const
{
    const auto node = waitForNode([&](const nlohmann::json& n) { return n.value("name", "") == title; }, timeout);
    if (!node)
        return std::nullopt;
    return std::to_string(node->at("id").get<long>());
}

std::optional<bool> SwayDesktop::isFullScreen(const std::string& window) const
{
    const long id = std::stol(window);
    const auto node = waitForNode([id](const nlohmann::json& n) { return n.value("id", -1L) == id; }, Seconds(1));
    return node && node->value("fullscreen_mode", 0) == 1;
}

void SwayDesktop::focus(const std::string& window) const
{
    // As xdotool's windowactivate on X11: keys go to the window the test means.
    run({ "swaymsg", "[con_id=" + window + "] focus" });
}

void SwayDesktop::key(const std::string& window, const std::string& keys) const
{
    focus(window);
    // Each wtype is a keyboard of its own: its keys wait until clients have its keymap.
    std::vector<std::string> argv { "wtype", "-s", "300" };
    std::istringstream chords(keys);
    for (std::string chord; chords >> chord;) {
        std::vector<std::string> held;
        for (auto plus = chord.find('+'); plus != std::string::npos; plus = chord.find('+')) {
            held.push_back(chord.substr(0, plus));
            chord.erase(0, plus + 1);
        }
        for (const auto& modifier : held)
            argv.insert(argv.end(), { "-M", modifier });
        // A modifier pressed alone is a key of its own, named as the keymap names it.
        const std::map<std::string, std::string> modifierKeys { { "shift", "Shift_L" },
                                                                { "ctrl", "Control_L" },
                                                                { "alt", "Alt_L" } };
        const auto modifierKey = modifierKeys.find(chord);
        argv.insert(argv.end(), { "-k", modifierKey == modifierKeys.end() ? chord : modifierKey->second });
        for (const auto& modifier : held)
            argv.insert(argv.end(), { "-m", modifier });
        argv.insert(argv.end(), { "-s", "30" });
    }
    run(argv);
}

void SwayDesktop::type(const std::string& window, const std::string& text) const
{
    focus(window);
    // The first character may open the field that takes the rest (a chooser's location).
    run({ "wtype", "-s", "300", text.substr(0, 1), "-s", "700", "-d", "30", text.substr(1) });
}

void SwayDesktop::click(const std::string&, int x, int y, int button) const
{
    // The exam window is full screen on the one output, whose origin is the layout's.
    m_pointer->request("click " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(button));
}

void SwayDesktop::requestClose(const std::string& window, int times) const
{
    std::string commands;
    for (int i = 0; i < times; ++i)
        commands += (i ? "; " : "") + std::string("[con_id=") + window + "] kill";
    run({ "swaymsg", commands });
}

std::optional<std::string> SwayDesktop::selection(const std::string& name) const
{
    std::vector<std::string> argv { "wl-paste", "--no-newline" };
    if (name == "primary")
        argv.push_back("--primary");
    const auto result = run(argv);
    if (result.status != 0)
        return std::nullopt;
    auto text = result.output;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

void SwayDesktop::setSelection(const std::string& name, const std::string& text) const
{
    // wl-copy stays behind to serve the selection; setsid keeps it out of our process group.
    run({ "sh", "-c", "setsid -f wl-copy $2 -- \"$1\" >/dev/null 2>&1", "sh", text,
          name == "primary" ? "--primary" : "" });
}

void SwayDesktop::screenshot(const std::string& path) const
{
    run({ "grim", path });
}

}
