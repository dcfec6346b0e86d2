#include "tests/e2e/support/XSession.h"

#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/e2e/support/TemporaryFolder.h"

namespace tessaro::e2e {

namespace {

// Two 1024x768 monitors side by side on Xorg's dummy driver.
const char* twoMonitorConfig = R"(Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
    Option "Monitor-DUMMY0" "mon0"
    Option "Monitor-DUMMY1" "mon1"
EndSection
Section "Monitor"
    Identifier "mon0"
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
EndSection
Section "Monitor"
    Identifier "mon1"
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
    Option "Enable" "true"
    Option "RightOf" "mon0"
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "mon0"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2048 768
    EndSubSection
EndSection
)";

}

XSession::XSession(const std::string& logFolder, Monitors monitors)
    : m_logFolder(logFolder)
{
    std::vector<std::string> server;
    if (monitors == Monitors::one) {
        server = { "Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset" };
    } else {
        const std::string config = logFolder + "/xorg-dummy.conf";
        writeFile(config, twoMonitorConfig);
        server = { "Xorg",      "-displayfd", "1",           "-config",   config,     "-noreset",
                   "-nolisten", "tcp",        "-novtswitch", "-sharevts", "-logfile", logFolder + "/xorg.log" };
    }
    m_server = std::make_unique<Subprocess>(server, inheritedEnvironment({}), logFolder + "/xserver.log");
    const auto number = m_server->waitForLine([](const std::string& line) { return !line.empty(); }, Seconds(20));
    if (!number)
        throw std::runtime_error("the X server did not start (see " + logFolder + "/xserver.log)");
    m_display = ":" + *number;
    startWindowManager();
}

XSession::~XSession()
{
    m_windowManager.reset();
    m_server.reset();
}

void XSession::startWindowManager()
{
    // A configuration of its own: without one openbox opens a syntax-error window that
    // takes the focus from the exam.
    const std::string config = m_logFolder + "/openbox-rc.xml";
    writeFile(config, R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
</openbox_config>
)");
    m_windowManager
        = std::make_unique<Subprocess>(std::vector<std::string> { "openbox", "--sm-disable", "--config-file", config },
                                       environment(), m_logFolder + "/openbox.log");
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (run({ "xprop", "-root", "_NET_SUPPORTING_WM_CHECK" }).output.find("window id") != std::string::npos)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    throw std::runtime_error("openbox did not start");
}

CommandResult XSession::run(const std::vector<std::string>& argv, Seconds timeout) const
{
    return runCommand(argv, environment(), timeout);
}

std::optional<std::string> XSession::waitForWindow(int pid, Seconds timeout) const
{
    const auto result = run({ "xdotool", "search", "--sync", "--onlyvisible", "--pid", std::to_string(pid) }, timeout);
    if (result.status != 0 || result.output.empty())
        return std::nullopt;
    return result.output.substr(0, result.output.find('\n'));
}

std::optional<std::string> XSession::waitForWindowNamed(const std::string& pattern, Seconds timeout) const
{
    const auto result = run({ "xdotool", "search", "--sync", "--onlyvisible", "--name", pattern }, timeout);
    if (result.status != 0 || result.output.empty())
        return std::nullopt;
    return result.output.substr(0, result.output.find('\n'));
}

bool XSession::waitForNoWindowNamed(const std::string& pattern, Seconds timeout) const
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    while (!run({ "xdotool", "search", "--onlyvisible", "--name", pattern }).output.empty()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

std::string XSession::windowName(const std::string& window) const
{
    auto name = run({ "xdotool", "getwindowname", window }).output;
    if (!name.empty() && name.back() == '\n')
        name.pop_back();
    return name;
}

std::pair<int, int> XSession::windowSize(const std::string& window) const
{
    const auto output = run({ "xdotool", "getwindowgeometry", window }).output;
    std::smatch match;
    if (!std::regex_search(output, match, std::regex("Geometry: (\\d+)x(\\d+)")))
        return { 0, 0 };
    return { std::stoi(match[1]), std::stoi(match[2]) };
}

void XSession::key(const std::string& window, const std::string& keys) const
{
    std::vector<std::string> argv { "xdotool", "windowactivate", "--sync", window, "key", "--clearmodifiers" };
    std::istringstream sequence(keys);
    for (std::string key; sequence >> key;)
        argv.push_back(key);
    run(argv);
}

void XSession::click(const std::string& window, int x, int y, int button) const
{
    // No --sync: it waits forever when the pointer is already there.
    run({ "xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y), "click",
          std::to_string(button) });
}

void XSession::screenshot(const std::string& path) const
{
    run({ "import", "-window", "root", path }, Seconds(20));
}

std::optional<std::string> XSession::selection(const std::string& name) const
{
    const auto result = run({ "xclip", "-o", "-selection", name });
    if (result.status != 0)
        return std::nullopt;
    auto text = result.output;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

void XSession::setSelection(const std::string& name, const std::string& text) const
{
    // xclip stays behind to serve the selection; setsid keeps it out of our process group.
    run({ "sh", "-c", "printf %s \"$1\" | setsid -f xclip -selection \"$2\" >/dev/null 2>&1", "sh", text, name });
}

}
