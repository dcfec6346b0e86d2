#pragma once

#include <memory>
#include <string>

#include "app/AppDelegate.h"
#include "platform/Application.h"
#include "web/Endpoints.h"

namespace tessaro {

class Host;
class ViewController;

// The application's interface: it makes the delegate, and the exam view controller
// for the one window, and routes the shell's events to them.
class MainInterface final : public ApplicationEvents {
public:
    MainInterface(Host&, Endpoints);
    ~MainInterface() override;

    void openURLs(const std::vector<std::string>& urls) override;
    void quitShortcutPressed() override;
    void quitSignalReceived(QuitSignal signal) override;
    void mainWindowCreated(Window& window) override;

private:
    Host& m_host;
    Endpoints m_endpoints;
    std::string m_examKey;
    AppDelegate m_delegate;
    std::unique_ptr<ViewController> m_viewController;
};

}
