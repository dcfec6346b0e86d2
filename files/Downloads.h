#pragma once

#include <string>

namespace tessaro {

class PageMessenger;
class Files;
class HttpClient;
class MainQueue;
class StandardOutput;

// Fetches a file for the page into the Downloads folder under the page's name, never
// replacing anything there. The page hears "downloaded" when the file is stored, and
// nothing at all otherwise (the protocol has no failure message): a failure is one
// diagnostic line with its reason, and nothing of the file is left.
class Downloads {
public:
    Downloads(HttpClient&, Files&, MainQueue&, StandardOutput&, PageMessenger&);

    void downloadFile(const std::string& url, const std::string& name);

private:
    HttpClient& m_httpClient;
    Files& m_files;
    MainQueue& m_mainQueue;
    StandardOutput& m_output;
    PageMessenger& m_page;
};

}
