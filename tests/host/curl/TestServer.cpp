#include "TestServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace tessaro {

namespace {

constexpr size_t pieceBytes = 64 * 1024;

size_t number(const httplib::Request& request)
{
    return std::stoull(request.matches[1].str());
}

}

TestServer::TestServer()
{
    // Fifty transfers at once must all be served, each on its own connection.
    m_server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    m_server.set_keep_alive_max_count(1);
    addRoutes();
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
}

TestServer::~TestServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_server.stop();
    m_thread.join();
}

std::string TestServer::address(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::string TestServer::bytes(size_t count)
{
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

void TestServer::waitForStalls(int count)
{
    std::unique_lock lock(m_mutex);
    ASSERT_TRUE(m_changed.wait_for(lock, std::chrono::minutes(1), [&] { return m_stalls >= count; }));
}

void TestServer::stall(httplib::DataSink& sink)
{
    sink.write(bytes(1024).data(), 1024);
    std::unique_lock lock(m_mutex);
    ++m_stalls;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_stopping; });
}

void TestServer::addRoutes()
{
    using httplib::Request, httplib::Response;
    m_server.Get("/echo/(.*)", [](const Request& request, Response& response) {
        response.set_content(request.matches[1].str(), "text/plain");
    });
    m_server.Get(R"(/status/(\d+))", [](const Request& request, Response& response) {
        response.status = static_cast<int>(number(request));
        response.set_content("status " + request.matches[1].str(), "text/plain");
    });
    m_server.Get(R"(/hops/(\d+))", [](const Request& request, Response& response) {
        const size_t left = number(request);
        if (left == 0) {
            response.set_content("arrived", "text/plain");
        } else {
            response.set_redirect("/hops/" + std::to_string(left - 1));
        }
    });
    m_server.Get("/to-file", [](const Request&, Response& response) { response.set_redirect("file:///etc/passwd"); });
    m_server.Get(R"(/bytes/(\d+))", [](const Request& request, Response& response) {
        response.set_content(bytes(number(request)), "application/octet-stream");
    });
    m_server.Get(R"(/chunked/(\d+))", [](const Request& request, Response& response) {
        auto body = std::make_shared<std::string>(bytes(number(request)));
        response.set_chunked_content_provider(
            "application/octet-stream", [body](size_t offset, httplib::DataSink& sink) {
                if (offset == body->size()) {
                    sink.done();
                } else {
                    sink.write(body->data() + offset, std::min(pieceBytes, body->size() - offset));
                }
                return true;
            });
    });
    m_server.Get("/truncated", [](const Request&, Response& response) {
        response.set_content_provider(1024 * 1024, "application/octet-stream",
                                      [](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset > 0)
                                              return false;
                                          sink.write(bytes(pieceBytes).data(), pieceBytes);
                                          return true;
                                      });
    });
    m_server.Get("/stall", [this](const Request&, Response& response) {
        response.set_chunked_content_provider("application/octet-stream", [this](size_t, httplib::DataSink& sink) {
            stall(sink);
            return false;
        });
    });
    m_server.Get("/user-agent", [](const Request& request, Response& response) {
        response.set_content(request.get_header_value("User-Agent"), "text/plain");
    });
    m_server.Get("/cookie/set", [](const Request&, Response& response) {
        response.set_header("Set-Cookie", "session=secret; Path=/");
        response.set_redirect("/cookie/echo");
    });
    m_server.Get("/cookie/echo", [](const Request& request, Response& response) {
        response.set_content(request.has_header("Cookie") ? request.get_header_value("Cookie") : "no cookie",
                             "text/plain");
    });
}

}
