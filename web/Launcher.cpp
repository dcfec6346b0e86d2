#include "web/Launcher.h"

#include "common/DiagnosticLine.h"
#include "platform/Resources.h"
#include "platform/StandardOutput.h"
#include "platform/Url.h"
#include "web/ExamWebView.h"
#include "web/LaunchAddress.h"
#include "web/PressureLock.h"

namespace tessaro {

Launcher::Launcher(ExamWebView& webView, StandardOutput& output, Resources& resources, const std::string& examKey,
                   std::string launchPageURL)
    : m_webView(webView)
    , m_output(output)
    , m_resources(resources)
    , m_examKey(examKey)
    , m_launchPageURL(std::move(launchPageURL))
{
}

void Launcher::launchExam(const std::string& routing, const std::string& fallbackDomain)
{
    launch(launchAddress(routing, fallbackDomain, m_launchPageURL, m_examKey));
}

void Launcher::launchDefault()
{
    launch(launchAddress({}, {}, m_launchPageURL, m_examKey));
}

void Launcher::showErrorPageIfNotLoaded()
{
    if (m_loadedSuccessfully)
        return;
    m_webView.view().load(m_resources.errorPageAddress());
}

void Launcher::didFinishNavigation()
{
    applyPressureLock(m_webView.view());
    m_loadedSuccessfully = true;
}

// The page is never told: the view keeps what it showed, and this line is all there is
// of a service gone or a certificate refused.
void Launcher::didFailNavigation(const std::string& address, const std::string& errorText)
{
    m_output.writeLine(diagnosticLine("Could not load " + address + ": " + errorText));
}

void Launcher::launch(const std::string& address)
{
    // A fallback domain from the network may not make an address at all, or a web one
    // (a script or a local file). Nothing is loaded then; the error-page check covers
    // the blank view.
    if (!url::isValid(address)) {
        m_output.writeLine(diagnosticLine("Not loading an invalid address: " + address));
        return;
    }
    const auto scheme = url::scheme(address);
    if (scheme != "https" && scheme != "http") {
        m_output.writeLine(diagnosticLine("Not loading an address that is not a web address: " + address));
        return;
    }
    m_webView.view().load(address);
}

}
