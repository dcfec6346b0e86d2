#include "platform/linux/services/LinuxMachineServices.h"

#include <csignal>

#include <curl/curl.h>

#include "platform/curl/CurlHttpClient.h"

namespace tessaro {

namespace {

std::string httpUserAgent(const std::string& applicationVersion)
{
    return "Tessaro/" + applicationVersion + " libcurl/" + curl_version_info(CURLVERSION_NOW)->version;
}

}

LinuxMachineServices::LinuxMachineServices(MainQueue& mainQueue, const std::string& applicationVersion)
    : m_systemInfo(applicationVersion)
    , m_runningApplicationScans(std::make_unique<WorkerRunningApplicationScans>(m_runningApplications, mainQueue))
    , m_httpClient(std::make_unique<CurlHttpClient>(httpUserAgent(applicationVersion)))
{
    // A reader of our diagnostic lines that goes away must not take the exam with it.
    signal(SIGPIPE, SIG_IGN);
}

LinuxMachineServices::~LinuxMachineServices()
{
    stopBackgroundWork();
}

HttpClient& LinuxMachineServices::httpClient()
{
    return *m_httpClient;
}

void LinuxMachineServices::stopBackgroundWork()
{
    m_runningApplicationScans.reset();
    m_httpClient.reset();
}

std::unique_ptr<MachineServices> makeMachineServices(MainQueue& mainQueue, const std::string& applicationVersion)
{
    return std::make_unique<LinuxMachineServices>(mainQueue, applicationVersion);
}

}
