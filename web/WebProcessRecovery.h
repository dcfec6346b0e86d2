#pragma once

#include <string>

#include "platform/WebView.h"

namespace tessaro {

class ExamWebView;
class Launcher;
class Resources;
class StandardOutput;
class Timers;

// Brings the exam back when the engine's web process ends: the page is loaded again at
// the exam address it showed, a few times a minute at most. A page that keeps ending
// the process leaves the local error page instead, for good: a reload loop would keep
// the student before a page that never stays.
class WebProcessRecovery {
public:
    static constexpr int reloadLimit = 3;
    static constexpr double reloadWindowSeconds = 60.0;

    WebProcessRecovery(ExamWebView&, StandardOutput&, Timers&, Resources&, const Launcher&);

    void didCommitNavigation(const std::string& address);
    void didFailNavigation();
    void webProcessDidEnd(WebProcessEnd reason);

private:
    void showErrorPage(const std::string& ending);

    ExamWebView& m_webView;
    StandardOutput& m_output;
    Timers& m_timers;
    Resources& m_resources;
    const Launcher& m_launcher;
    // The last web address the view committed to: neither the engine's start page nor
    // the error page is an exam's.
    std::string m_examAddress;
    // Reloads within the last reloadWindowSeconds: each one's own timer takes it off again.
    int m_recentReloads = 0;
    // Past the limit the error page stays: later ends show it again, never the exam.
    bool m_gaveUp = false;
    // How the process ended while its reload has not committed: a failed reload has
    // nothing of the exam's left to show, so the error page says why.
    std::string m_reloadingAfter;
};

}
