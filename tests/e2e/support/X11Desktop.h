#pragma once

#include "tests/e2e/support/Desktop.h"
#include "tests/e2e/support/XSession.h"

namespace tessaro::e2e {

// The X11 desktop: an X server of the test's own with openbox, driven with xdotool.
class X11Desktop final : public Desktop {
public:
    X11Desktop(const std::string& folder, Screens screens);

    XSession& session() { return m_session; }

    void addDisplay(Environment& environment) const override { environment["DISPLAY"] = m_session.display(); }
    std::optional<std::string> waitForWindow(Subprocess& program, Seconds timeout) const override;
    std::optional<std::string> waitForDialog(const std::string& title, Seconds timeout) const override;
    std::optional<bool> isFullScreen(const std::string& window) const override;
    void key(const std::string& window, const std::string& keys) const override;
    void type(const std::string& window, const std::string& text) const override;
    void click(const std::string& window, int x, int y, int button) const override;
    void requestClose(const std::string& window, int times) const override;
    std::optional<std::string> selection(const std::string& name) const override;
    void setSelection(const std::string& name, const std::string& text) const override;
    void screenshot(const std::string& path) const override;

private:
    XSession m_session;
};

}
