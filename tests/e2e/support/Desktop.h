#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/support/Subprocess.h"

namespace tessaro::e2e {

enum class DesktopKind { x11, sway, mutter };

// A desktop session of the test's own, started headless: an X server with a window
// manager, or a Wayland compositor. Windows are named by what the desktop uses to name
// them; a desktop that names none takes the focused window for every input.
class Desktop {
public:
    enum class Screens { one, two };
    static std::unique_ptr<Desktop> start(DesktopKind kind, const std::string& folder, Screens screens);
    virtual ~Desktop() = default;

    // Puts the display variables into the environment of a program on this desktop.
    virtual void addDisplay(Environment& environment) const = 0;
    // The program's command, run as the desktop's user where it has one of its own.
    virtual std::vector<std::string> command(std::vector<std::string> argv) const { return argv; }

    // The program's window once the desktop shows it.
    virtual std::optional<std::string> waitForWindow(Subprocess& program, Seconds timeout) const = 0;
    // A dialog of the program with that title, once shown; where the desktop lists no
    // windows, after a pause long enough for one to come up.
    virtual std::optional<std::string> waitForDialog(const std::string& title, Seconds timeout) const = 0;
    // Whether the desktop shows the window full screen, where it can tell.
    virtual std::optional<bool> isFullScreen(const std::string& window) const = 0;

    // Key chords as in "ctrl+q ctrl+q Return", pressed in the focused window.
    virtual void key(const std::string& window, const std::string& keys) const = 0;
    virtual void type(const std::string& window, const std::string& text) const = 0;
    // A press and release of the button (1 primary, 3 secondary) at a point of the window.
    virtual void click(const std::string& window, int x, int y, int button) const = 0;
    // The desktop's own request to close the window (a close button, Alt+F4), made
    // quickly that many times.
    virtual void requestClose(const std::string& window, int times) const = 0;

    // "clipboard" or "primary": its text, or nothing when no one offers text there.
    virtual std::optional<std::string> selection(const std::string& name) const = 0;
    virtual void setSelection(const std::string& name, const std::string& text) const = 0;
    virtual bool offersPrimarySelection() const { return true; }

    virtual void screenshot(const std::string& path) const = 0;
};

std::string desktopName(DesktopKind kind);

inline void PrintTo(DesktopKind kind, std::ostream* out)
{
    *out << desktopName(kind);
}

inline auto everyDesktop()
{
    return ::testing::Values(DesktopKind::x11, DesktopKind::sway, DesktopKind::mutter);
}

inline std::string desktopTestName(const ::testing::TestParamInfo<DesktopKind>& info)
{
    return desktopName(info.param);
}

}
