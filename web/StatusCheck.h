#pragma once

#include <string>

namespace tessaro {

class HttpClient;
class Launcher;
class MainQueue;
class StandardOutput;

// Asks the service, once, where the exam starts. Every failure ends in the ordinary
// launch, except an answer with neither body nor error, which launches nothing.
class StatusCheck {
public:
    StatusCheck(HttpClient&, MainQueue&, StandardOutput&, Launcher&, const std::string& examKey,
                std::string statusDocumentURL);

    void checkStatus();

private:
    HttpClient& m_httpClient;
    MainQueue& m_mainQueue;
    StandardOutput& m_output;
    Launcher& m_launcher;
    const std::string& m_examKey;
    std::string m_statusDocumentURL;
};

}
