#include "tests/e2e/support/X11Desktop.h"

namespace tessaro::e2e {

X11Desktop::X11Desktop(const std::string& folder, Screens screens)
    : m_session(folder, screens == Screens::one ? XSession::Monitors::one : XSession::Monitors::two)
{
}

std::optional<std::string> X11Desktop::waitForWindow(Subprocess& program, Seconds timeout) const
{
    return m_session.waitForWindow(program.pid(), timeout);
}

std::optional<std::string> X11Desktop::waitForDialog(const std::string& title, Seconds timeout) const
{
    return m_session.waitForWindowNamed("^" + title + "$", timeout);
}

std::optional<bool> X11Desktop::isFullScreen(const std::string& window) const
{
    const auto state = m_session.run({ "xprop", "-id", window, "_NET_WM_STATE" }).output;
    return state.find("_NET_WM_STATE_FULLSCREEN") != std::string::npos;
}

void X11Desktop::key(const std::string& window, const std::string& keys) const
{
    m_session.key(window, keys);
}

void X11Desktop::type(const std::string& window, const std::string& text) const
{
    m_session.run({ "xdotool", "windowactivate", "--sync", window, "type", "--delay", "20", text });
}

void X11Desktop::click(const std::string& window, int x, int y, int button) const
{
    m_session.click(window, x, y, button);
}

void X11Desktop::requestClose(const std::string& window, int times) const
{
    for (int i = 0; i < times; ++i)
        m_session.run({ "wmctrl", "-i", "-c", window });
}

std::optional<std::string> X11Desktop::selection(const std::string& name) const
{
    return m_session.selection(name);
}

void X11Desktop::setSelection(const std::string& name, const std::string& text) const
{
    m_session.setSelection(name, text);
}

void X11Desktop::screenshot(const std::string& path) const
{
    m_session.screenshot(path);
}

}
