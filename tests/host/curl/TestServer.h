#pragma once

#include <httplib.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace tessaro {

// A loopback web server with the routes the client tests need:
//   /echo/TEXT            200 with TEXT
//   /status/CODE          CODE with "status CODE"
//   /hops/N               N redirects, then 200 "arrived"
//   /to-file              a redirect to a file:// address
//   /bytes/N, /chunked/N  N bytes of bytes(N), announced or chunked
//   /truncated            announces 1 MiB, sends 64 KiB and hangs up
//   /stall                sends 1 KiB, then nothing until the server goes
//   /user-agent           200 with the request's User-Agent
//   /cookie/set           sets a cookie and redirects to /cookie/echo, which answers
//                         with the request's Cookie header or "no cookie"
class TestServer {
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    std::string address(const std::string& path) const;
    // Returns once `count` requests for /stall are being held.
    void waitForStalls(int count);
    static std::string bytes(size_t count);

private:
    void addRoutes();
    void stall(httplib::DataSink& sink);

    httplib::Server m_server;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_stalls = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

}
