#include "app/AppDelegate.h"

#include "common/DiagnosticLine.h"
#include "platform/Application.h"
#include "platform/Pasteboard.h"
#include "platform/StandardOutput.h"
#include "platform/Timers.h"
#include "platform/Url.h"

namespace tessaro {

namespace {

constexpr std::string_view launchLinkScheme = "tessaro";

std::string_view signalName(QuitSignal signal)
{
    switch (signal) {
    case QuitSignal::hangUp:
        return "SIGHUP";
    case QuitSignal::interrupt:
        return "SIGINT";
    case QuitSignal::terminate:
        return "SIGTERM";
    }
    return "a signal";
}

}

AppDelegate::AppDelegate(Application& application, Pasteboard& pasteboard, Timers& timers, StandardOutput& output,
                         std::string& examKey)
    : m_application(application)
    , m_pasteboard(pasteboard)
    , m_timers(timers)
    , m_output(output)
    , m_examKey(examKey)
{
}

void AppDelegate::openURLs(const std::vector<std::string>& urls)
{
    if (urls.empty())
        return;
    const std::string& link = urls.front();
    // The desktop hands us whatever was on the command line, files included; only our
    // own links carry an exam key.
    if (url::scheme(link) != launchLinkScheme) {
        m_output.writeLine(diagnosticLine("Ignoring a link that is not a tessaro: link: " + link));
        return;
    }
    const auto components = url::pathComponents(link);
    if (components && components->size() >= 2)
        m_examKey = (*components)[1];
}

void AppDelegate::pressCmdQ()
{
    ++m_times;
    if (m_times >= quitPresses) {
        m_pasteboard.clearContents();
        m_application.terminate();
    }
    m_timers.schedule(quitPressWindowSeconds, false, [this] { clear(); });
}

void AppDelegate::receiveQuitSignal(QuitSignal signal)
{
    m_output.writeLine("Quitting on " + std::string(signalName(signal)));
    // While the window still exists: a Wayland compositor takes the emptying only from
    // a client that has the keyboard focus.
    m_pasteboard.clearContents();
    m_application.terminateOnSignal(signal);
}

void AppDelegate::clear()
{
    m_times = 0;
}

}
