#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/support/Subprocess.h"

namespace tessaro::e2e {

// An X server of the test's own with the openbox window manager, so full screen and
// window stacking behave as on a desktop. Xvfb shows one monitor; the dummy driver of
// Xorg can show two.
class XSession {
public:
    enum class Monitors { one, two };
    XSession(const std::string& logFolder, Monitors monitors = Monitors::one);
    ~XSession();

    const std::string& display() const { return m_display; }
    Environment environment() const { return inheritedEnvironment({ { "DISPLAY", m_display } }); }

    // Runs an X client (xdotool, xclip, xprop, ...) against this display.
    CommandResult run(const std::vector<std::string>& argv, Seconds timeout = Seconds(10)) const;
    // The first visible window of the process, waiting for one to appear.
    std::optional<std::string> waitForWindow(int pid, Seconds timeout) const;
    std::optional<std::string> waitForWindowNamed(const std::string& pattern, Seconds timeout) const;
    // Whether every visible window of that name went away within the timeout.
    bool waitForNoWindowNamed(const std::string& pattern, Seconds timeout) const;
    std::string windowName(const std::string& window) const;
    // Width and height of the window as the X server has it.
    std::pair<int, int> windowSize(const std::string& window) const;
    void key(const std::string& window, const std::string& keys) const;
    void click(const std::string& window, int x, int y, int button) const;
    void screenshot(const std::string& path) const;

    // The selection's text, or nothing when no one offers text there.
    std::optional<std::string> selection(const std::string& name) const;
    void setSelection(const std::string& name, const std::string& text) const;

private:
    void startWindowManager();

    std::string m_logFolder;
    std::string m_display;
    std::unique_ptr<Subprocess> m_server;
    std::unique_ptr<Subprocess> m_windowManager;
};

}
