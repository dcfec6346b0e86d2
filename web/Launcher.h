#pragma once

#include <string>

namespace tessaro {

class ExamWebView;
class Resources;
class StandardOutput;

// Opens the first page, notices finished and failed navigations, and shows the local
// error page when nothing has finished loading in time.
class Launcher {
public:
    Launcher(ExamWebView&, StandardOutput&, Resources&, const std::string& examKey, std::string launchPageURL);

    void launchExam(const std::string& routing, const std::string& fallbackDomain);
    void launchDefault();
    void showErrorPageIfNotLoaded();
    void didFinishNavigation();
    void didFailNavigation(const std::string& address, const std::string& errorText);

    bool loadedSuccessfully() const { return m_loadedSuccessfully; }

private:
    void launch(const std::string& address);

    ExamWebView& m_webView;
    StandardOutput& m_output;
    Resources& m_resources;
    const std::string& m_examKey;
    std::string m_launchPageURL;
    bool m_loadedSuccessfully = false;
};

}
