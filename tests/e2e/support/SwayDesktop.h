#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "tests/e2e/support/Desktop.h"
#include "tests/e2e/support/InputProgram.h"

namespace tessaro::e2e {

// A headless sway (wlroots). Sway refuses to run as root, so when the tests run as root
// it and the program under test run as the unprivileged user "nobody", which then owns
// the test's folder. Keys come from wtype, the pointer from sway's own seat commands,
// the selections from wl-clipboard. A headless sway has no input devices: a virtual
// keyboard (an idle wtype) and a virtual pointer stay for the whole test, so the seat
// has both, as on a desktop, before the program starts.
class SwayDesktop final : public Desktop {
public:
    SwayDesktop(const std::string& folder, Screens screens);
    ~SwayDesktop() override;

    void addDisplay(Environment& environment) const override;
    std::vector<std::string> command(std::vector<std::string> argv) const override;
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
    CommandResult run(const std::vector<std::string>& argv) const;
    void focus(const std::string& window) const;
    // The first window of sway's tree that matches, waiting for one.
    std::optional<nlohmann::json> waitForNode(const std::function<bool(const nlohmann::json&)>& matches,
                                              Seconds timeout) const;

    std::string m_runtime;
    std::string m_socket;
    std::string m_ipc;
    bool m_asNobody;
    std::unique_ptr<Subprocess> m_compositor;
    std::unique_ptr<Subprocess> m_keyboard;
    std::unique_ptr<InputProgram> m_pointer;
};

}
