#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <httplib.h>

#include "DownloadEndpoints.h"
#include "RequestLog.h"
#include "SecurityVerifier.h"
#include "ServiceOptions.h"
#include "ShutdownLatch.h"
#include "StatusEndpoint.h"

namespace tessaro {

// The local exam service: the status document, the launch page, the fallback site, the files
// to download and the endpoints through which pages report what they saw. It answers on
// 127.0.0.1 only and runs its HTTP server on threads of its own.
class ExamService {
public:
    explicit ExamService(ServiceOptions options);
    ~ExamService();
    ExamService(const ExamService&) = delete;
    ExamService& operator=(const ExamService&) = delete;

    // Listens on 127.0.0.1:port (0 picks a free port) and serves until stop(). Returns why it
    // could not, or nothing once connections are being accepted. A service starts once.
    std::optional<std::string> start(int port);
    // Ends slow answers early, stops listening and waits for the server's threads.
    void stop();

    // The port listened on, once started.
    int port() const { return m_boundPort; }

private:
    std::optional<std::string> loadLaunchPage();
    void addRoutes();
    httplib::Server::Handler logged(httplib::Server::Handler handler);
    void verifySecurity(const httplib::Request& request, httplib::Response& response) const;
    void upload(const httplib::Request& request, httplib::Response& response) const;

    ServiceOptions m_options;
    SecurityVerifier m_verifier;
    ShutdownLatch m_latch;
    DownloadEndpoints m_downloads;
    std::string m_launchPage;
    std::unique_ptr<StatusEndpoint> m_status;
    std::unique_ptr<RequestLog> m_requestLog;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_listener;
    std::atomic<bool> m_listenerEnded { false };
    int m_boundPort = 0;
};

}
