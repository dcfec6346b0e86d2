#include "ExamService.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>
#include <sys/socket.h>

#include "exam-service-assets/bridgeScript.h"
#include "exam-service-assets/demoExamPage.h"
#include "exam-service-assets/fallbackPage.h"
#include "exam-service-assets/notFoundPage.h"

namespace tessaro {

namespace {

constexpr const char* htmlType = "text/html; charset=utf-8";
constexpr const char* jsonType = "application/json";
constexpr const char* loopback = "127.0.0.1";

// Enough for a web view's parallel connections, a few slow answers and a large download at
// once; httplib's default of eight can be used up by one page.
constexpr size_t serverThreads = 32;

// Idle keep-alive connections hold a server thread until this runs out, and stop() waits for
// them: short keeps stopping quick, and reconnecting on loopback costs nothing.
constexpr time_t keepAliveSeconds = 1;

void notFound(const httplib::Request&, httplib::Response& response)
{
    response.status = 404;
    response.set_content(assets::notFoundPage.data(), assets::notFoundPage.size(), htmlType);
}

httplib::Server::Handler fixed(std::string_view content, const char* type)
{
    return [content, type](const httplib::Request&, httplib::Response& response) {
        response.set_content(content.data(), content.size(), type);
    };
}

// Plain SO_REUSEADDR: httplib's default adds SO_REUSEPORT, with which a second service on a
// busy port would start silently and take half of the connections.
void socketOptions(socket_t socket)
{
    int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
}

}

ExamService::ExamService(ServiceOptions options)
    : m_options(std::move(options))
    , m_verifier(SecurityVerifier::configured())
    , m_downloads(m_latch)
{
}

ExamService::~ExamService()
{
    stop();
}

std::optional<std::string> ExamService::start(int port)
{
    if (m_server)
        return "the service was started already";
    if (std::optional<std::string> failure = loadLaunchPage())
        return failure;
    if (!m_options.requestLogFile.empty()) {
        m_requestLog = std::make_unique<RequestLog>(m_options.requestLogFile);
        if (!m_requestLog->isOpen())
            return "cannot open the request log " + m_options.requestLogFile + ": " + std::strerror(errno);
    }

    m_server = std::make_unique<httplib::Server>();
    m_server->new_task_queue = [] { return new httplib::ThreadPool(serverThreads); };
    m_server->set_socket_options(socketOptions);
    m_server->set_keep_alive_timeout(keepAliveSeconds);
    // Every answer is made afresh: tests change pages and modes between runs on the same port.
    m_server->set_default_headers({ { "Cache-Control", "no-store" } });
    addRoutes();

    int bound = port == 0 ? m_server->bind_to_any_port(loopback) : (m_server->bind_to_port(loopback, port) ? port : -1);
    if (bound <= 0) {
        int reason = errno;
        return "cannot listen on " + std::string(loopback) + ":" + (port == 0 ? "any port" : std::to_string(port))
            + ": " + std::strerror(reason) + (reason == EADDRINUSE ? " (is another exam-service running?)" : "");
    }
    m_boundPort = bound;
    m_status = std::make_unique<StatusEndpoint>(m_options, m_boundPort);

    m_listener = std::thread([this] {
        m_server->listen_after_bind();
        m_listenerEnded = true;
    });
    // stop() does nothing to a server that is not running yet, so it must be running before
    // anyone can ask it to stop.
    while (!m_server->is_running() && !m_listenerEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (m_listenerEnded)
        return "the server on " + std::string(loopback) + ":" + std::to_string(m_boundPort) + " ended at once";
    return std::nullopt;
}

void ExamService::stop()
{
    m_latch.release();
    if (m_server)
        m_server->stop();
    if (m_listener.joinable())
        m_listener.join();
}

std::optional<std::string> ExamService::loadLaunchPage()
{
    if (m_options.launchPageFile.empty()) {
        m_launchPage = assets::demoExamPage;
        return std::nullopt;
    }
    std::error_code notAFile;
    std::ifstream file(m_options.launchPageFile, std::ios::binary);
    if (!std::filesystem::is_regular_file(m_options.launchPageFile, notAFile) || !file)
        return "cannot read the launch page " + m_options.launchPageFile;
    // An empty page is a page too; only its stream reports "nothing inserted".
    std::ostringstream content;
    content << file.rdbuf();
    m_launchPage = content.str();
    return std::nullopt;
}

void ExamService::addRoutes()
{
    httplib::Server& http = *m_server;
    http.Get(R"(/status\.json)", logged([this](const httplib::Request&, httplib::Response& response) {
                 m_latch.waitFor(m_options.statusDelay);
                 m_status->answer(response);
             }));
    http.Get("/native-launch", logged(fixed(m_launchPage, htmlType)));
    http.Get("/fallback/init", logged(fixed(assets::fallbackPage, htmlType)));
    http.Get(R"(/bridge\.js)", logged(fixed(assets::bridgeScript, "text/javascript; charset=utf-8")));
    http.Post("/report", logged([](const httplib::Request&, httplib::Response& response) { response.status = 204; }));
    http.Get("/verify-security", logged([this](const httplib::Request& request, httplib::Response& response) {
                 verifySecurity(request, response);
             }));
    http.Post("/upload", logged([this](const httplib::Request& request, httplib::Response& response) {
                  upload(request, response);
              }));

    const DownloadEndpoints& files = m_downloads;
    http.Get(R"(/files/small\.txt)",
             logged([&files](const auto& request, auto& response) { files.small(request, response); }));
    http.Get(R"(/files/large\.bin)",
             logged([&files](const auto& request, auto& response) { files.large(request, response); }));
    http.Get(R"(/files/missing\.txt)",
             logged([&files](const auto& request, auto& response) { files.missing(request, response); }));
    http.Get(R"(/files/slow\.txt)",
             logged([&files](const auto& request, auto& response) { files.slow(request, response); }));
    http.Get(R"(/files/attachment\.txt)",
             logged([&files](const auto& request, auto& response) { files.attachment(request, response); }));

    // Unknown paths are answered here rather than by httplib, so that they are logged too.
    http.Get(".*", logged(notFound));
    http.Post(".*", logged(notFound));
    http.Put(".*", logged(notFound));
    http.Patch(".*", logged(notFound));
    http.Delete(".*", logged(notFound));
    http.Options(".*", logged(notFound));
    // Requests that no handler saw (httplib refused them before routing, and so left them
    // without a path match) are logged once their answer is out.
    http.set_logger([this](const httplib::Request& request, const httplib::Response&) {
        if (m_requestLog && request.matches.empty())
            m_requestLog->record(request);
    });
}

// Logged before the handler answers, so a test that has the answer finds the line already.
httplib::Server::Handler ExamService::logged(httplib::Server::Handler handler)
{
    return [this, handler = std::move(handler)](const httplib::Request& request, httplib::Response& response) {
        if (m_requestLog)
            m_requestLog->record(request);
        handler(request, response);
    };
}

// Only the verdict goes back: the page must not learn the expected answer from the service.
void ExamService::verifySecurity(const httplib::Request& request, httplib::Response& response) const
{
    bool verified = request.has_param("answer")
        && m_verifier.verify(request.get_param_value("examkey"), request.get_param_value("answer"));
    response.set_content(nlohmann::json { { "verified", verified } }.dump(), jsonType);
}

void ExamService::upload(const httplib::Request& request, httplib::Response& response) const
{
    for (const auto& [field, file] : request.files) {
        if (!file.filename.empty()) {
            nlohmann::ordered_json received { { "name", file.filename }, { "size", file.content.size() } };
            response.set_content(received.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace),
                                 jsonType);
            return;
        }
    }
    response.status = 400;
    response.set_content(R"({"error":"expected a multipart form with one file"})", jsonType);
}

}
