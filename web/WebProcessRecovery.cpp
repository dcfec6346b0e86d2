#include "web/WebProcessRecovery.h"

#include <utility>

#include "common/DiagnosticLine.h"
#include "platform/Resources.h"
#include "platform/StandardOutput.h"
#include "platform/Timers.h"
#include "platform/Url.h"
#include "web/ExamWebView.h"
#include "web/Launcher.h"

namespace tessaro {

namespace {

std::string endingOf(WebProcessEnd reason)
{
    switch (reason) {
    case WebProcessEnd::crashed:
        return "The web process crashed";
    case WebProcessEnd::exceededMemoryLimit:
        return "The web process exceeded its memory limit";
    case WebProcessEnd::endedByProgram:
        return "The web process was ended by the program";
    }
    return "The web process ended";
}

}

WebProcessRecovery::WebProcessRecovery(ExamWebView& webView, StandardOutput& output, Timers& timers,
                                       Resources& resources, const Launcher& launcher)
    : m_webView(webView)
    , m_output(output)
    , m_timers(timers)
    , m_resources(resources)
    , m_launcher(launcher)
{
}

void WebProcessRecovery::didCommitNavigation(const std::string& address)
{
    const auto scheme = url::scheme(address);
    if (scheme == "https" || scheme == "http")
        m_examAddress = address;
    m_reloadingAfter.clear();
}

void WebProcessRecovery::didFailNavigation()
{
    if (!m_reloadingAfter.empty())
        showErrorPage(std::exchange(m_reloadingAfter, {}));
}

void WebProcessRecovery::webProcessDidEnd(WebProcessEnd reason)
{
    const std::string ending = endingOf(reason);
    // Before anything has loaded the error-page check still runs and covers the view.
    if (!m_launcher.loadedSuccessfully()) {
        m_output.writeLine(ending + " before the exam loaded");
        return;
    }
    if (m_recentReloads >= reloadLimit)
        m_gaveUp = true;
    if (m_gaveUp || m_examAddress.empty()) {
        showErrorPage(ending);
        return;
    }
    m_output.writeLine(diagnosticLine(ending + ": loading the exam again at " + m_examAddress));
    ++m_recentReloads;
    m_timers.schedule(reloadWindowSeconds, false, [this] { --m_recentReloads; });
    m_reloadingAfter = ending;
    m_webView.view().load(m_examAddress);
}

void WebProcessRecovery::showErrorPage(const std::string& ending)
{
    m_output.writeLine(ending + ": showing the error page");
    m_webView.view().load(m_resources.errorPageAddress() + "#" + url::encodeQueryValue(ending));
}

}
