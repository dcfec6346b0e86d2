#include "app/MainInterface.h"

#include "platform/Host.h"
#include "window/ViewController.h"

namespace tessaro {

MainInterface::MainInterface(Host& host, Endpoints endpoints)
    : m_host(host)
    , m_endpoints(std::move(endpoints))
    , m_delegate(host.application(), host.pasteboard(), host.timers(), host.standardOutput(), m_examKey)
{
}

MainInterface::~MainInterface() = default;

void MainInterface::openURLs(const std::vector<std::string>& urls)
{
    m_delegate.openURLs(urls);
}

void MainInterface::quitShortcutPressed()
{
    m_delegate.pressCmdQ();
}

void MainInterface::quitSignalReceived(QuitSignal signal)
{
    m_delegate.receiveQuitSignal(signal);
}

void MainInterface::mainWindowCreated(Window& window)
{
    m_viewController = std::make_unique<ViewController>(m_host, m_endpoints, m_examKey);
    m_viewController->loadView(window);
}

}
