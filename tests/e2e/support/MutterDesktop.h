#pragma once

#include <memory>

#include "tests/e2e/support/Desktop.h"
#include "tests/e2e/support/InputProgram.h"

namespace tessaro::e2e {

// A headless mutter (GNOME's compositor) on a session bus of its own. Its seat gets a
// keyboard and a pointer from a remote-desktop session, the way GNOME's own tests drive
// it; the clipboard is read and set through that session too. Mutter lists no windows
// to other programs: input goes to the focused window, and a dialog is waited for by a
// pause.
class MutterDesktop final : public Desktop {
public:
    MutterDesktop(const std::string& folder, Screens screens);
    ~MutterDesktop() override;

    void addDisplay(Environment& environment) const override;
    std::optional<std::string> waitForWindow(Subprocess& program, Seconds timeout) const override;
    std::optional<std::string> waitForDialog(const std::string& title, Seconds timeout) const override;
    std::optional<bool> isFullScreen(const std::string&) const override { return std::nullopt; }
    void key(const std::string& window, const std::string& keys) const override;
    void type(const std::string& window, const std::string& text) const override;
    void click(const std::string& window, int x, int y, int button) const override;
    void requestClose(const std::string& window, int times) const override;
    std::optional<std::string> selection(const std::string& name) const override;
    void setSelection(const std::string& name, const std::string& text) const override;
    bool offersPrimarySelection() const override { return false; }
    void screenshot(const std::string&) const override { }

private:
    std::string m_socket;
    std::unique_ptr<Subprocess> m_compositor;
    std::unique_ptr<InputProgram> m_input;
};

}
