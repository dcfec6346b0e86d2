#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include <httplib.h>
#include <sys/resource.h>

#include "platform/curl/CurlHttpClient.h"
#include "tests/unit/platform/TemporaryFolder.h"

namespace tessaro {
namespace {

using httplib::Request, httplib::Response;

std::size_t number(const Request& request)
{
    return std::stoull(request.matches[1].str());
}

// A loopback web server: /status/CODE, /hops/N (N redirects, then "arrived"), /to-file
// (a redirect to a file:// address), /bytes/N and /chunked/N (N bytes, announced or
// chunked), /truncated (announces 1 MiB, sends 64 KiB, hangs up), /stall (1 KiB, then
// nothing until the server goes), /user-agent.
class TestServer {
public:
    TestServer()
    {
        m_server.Get(R"(/status/(\d+))", [](const Request& request, Response& response) {
            response.status = static_cast<int>(number(request));
            response.set_content("status " + request.matches[1].str(), "text/plain");
        });
        m_server.Get(R"(/hops/(\d+))", [](const Request& request, Response& response) {
            if (number(request) > 0)
                return response.set_redirect("/hops/" + std::to_string(number(request) - 1));
            response.set_content("arrived", "text/plain");
        });
        m_server.Get("/to-file", [](const Request&, Response& response) { response.set_redirect("file:///etc/x"); });
        m_server.Get(R"(/bytes/(\d+))", [](const Request& request, Response& response) {
            response.set_content(patternBytes(number(request)), "application/octet-stream");
        });
        m_server.Get(R"(/chunked/(\d+))", [](const Request& request, Response& response) {
            auto body = std::make_shared<std::string>(patternBytes(number(request)));
            response.set_chunked_content_provider("application/octet-stream", [body](size_t offset, auto& sink) {
                if (offset == 0)
                    return sink.write(body->data(), body->size());
                sink.done();
                return true;
            });
        });
        m_server.Get("/truncated", [](const Request&, Response& response) {
            response.set_content_provider(1 << 20, "application/octet-stream", [](size_t offset, size_t, auto& sink) {
                return offset == 0 && sink.write(patternBytes(65536).data(), 65536);
            });
        });
        m_server.Get("/stall", [this](const Request&, Response& response) {
            response.set_chunked_content_provider("application/octet-stream", [this](size_t, auto& sink) {
                sink.write(patternBytes(1024).data(), 1024);
                for (++stalls; !m_stopping;)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                return false;
            });
        });
        m_server.Get("/user-agent", [](const Request& request, Response& response) {
            response.set_content(request.get_header_value("User-Agent"), "text/plain");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~TestServer()
    {
        m_stopping = true;
        m_server.stop();
        m_thread.join();
    }

    std::string address(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

    std::atomic<int> stalls = 0;

private:
    httplib::Server m_server;
    int m_port = 0;
    std::atomic<bool> m_stopping = false;
    std::thread m_thread;
};

// openssl s_server for one connection on a loopback port, with a certificate it made for
// itself that no CA store trusts; no address where the openssl tool is missing.
class SelfSignedServer {
public:
    explicit SelfSignedServer(const std::string& folder)
        : m_server(popen(("cd '" + folder
                          + "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1"
                            " -nodes -subj /CN=127.0.0.1 -keyout key.pem -out cert.pem >/dev/null 2>&1 && exec"
                            " openssl s_server -accept 127.0.0.1:0 -naccept 1 -www -key key.pem -cert cert.pem")
                             .c_str(),
                         "r"))
    {
        char line[256];
        while (m_port.empty() && std::fgets(line, sizeof line, m_server)) {
            if (std::string_view(line).starts_with("ACCEPT 127.0.0.1:"))
                m_port = std::to_string(std::atoi(line + 17));
        }
    }
    ~SelfSignedServer() { pclose(m_server); }

    std::optional<std::string> address() const
    {
        return m_port.empty() ? std::nullopt : std::optional("https://127.0.0.1:" + m_port + "/");
    }

private:
    FILE* m_server;
    std::string m_port;
};

// What completions receive, with the thread each ran on; a download's file content is
// read while the file is there.
template <typename Result> class Completions {
public:
    std::function<void(Result)> callback()
    {
        return [this](Result result) {
            std::string content;
            if constexpr (std::is_same_v<Result, HttpDownload>)
                content = fileContent(result.temporaryFile.value_or(""));
            const std::lock_guard lock(m_mutex);
            m_seen.push_back({ std::move(result), std::move(content), std::this_thread::get_id() });
            m_arrived.notify_all();
        };
    }

    struct Seen {
        Result result;
        std::string content;
        std::thread::id thread;
    };
    // Waits for `count` completions; the bound only keeps a lost completion from hanging the test.
    std::vector<Seen> waitFor(std::size_t count)
    {
        std::unique_lock lock(m_mutex);
        EXPECT_TRUE(m_arrived.wait_for(lock, std::chrono::minutes(1), [&] { return m_seen.size() >= count; }));
        return m_seen;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Seen> m_seen;
};

// A client and a loopback server, with temporary files going to a folder of the test's
// own, so that any file left behind shows.
class CurlHttpClientTest : public ::testing::Test {
protected:
    CurlHttpClientTest() { ::setenv("TMPDIR", m_folder.path().c_str(), 1); }

    static inline const auto m_parent = std::filesystem::temp_directory_path(); // before any test sets TMPDIR
    const TemporaryFolder m_folder { m_parent };

public:
    TestServer server;
    std::unique_ptr<CurlHttpClient> client = std::make_unique<CurlHttpClient>("Tessaro/1.0.0 test");
};

TEST_F(CurlHttpClientTest, FetchesGiveTheBodyWithTheFinalStatusOrAnErrorAndTheStatusSeen)
{
    const std::tuple<std::string, long, std::optional<std::string>> cases[] = {
        { "/status/200", 200, "status 200" },
        { "/bytes/0", 200, "" },
        { "/status/404", 404, "status 404" },
        { "/hops/10", 200, "arrived" },
        { "/user-agent", 200, "Tessaro/1.0.0 test" },
        { "/chunked/16777216", 200, patternBytes(16 * 1024 * 1024) },
        { "/bytes/16777217", 200, std::nullopt },
        { "/chunked/16777217", 200, std::nullopt },
        { "/hops/11", 302, std::nullopt },
        { "/to-file", 302, std::nullopt },
        { "/truncated", 200, std::nullopt },
    };
    for (const auto& [path, status, body] : cases) {
        Completions<HttpFetch> completions;
        client->fetch(server.address(path), completions.callback());
        const HttpFetch fetch = completions.waitFor(1).at(0).result;
        EXPECT_TRUE(fetch.body == body) << path;
        EXPECT_EQ(fetch.error.has_value(), !body) << path;
        EXPECT_EQ(fetch.response.value_or(HttpResponse {}).statusCode, status) << path;
    }
}

TEST_F(CurlHttpClientTest, ADownloadLandsInATemporaryFileRemovedAfterTheCompletionUnlessMovedAway)
{
    Completions<HttpDownload> completions;
    client->download(server.address("/chunked/3145729"), completions.callback());
    const auto landed = completions.waitFor(1).at(0);
    const std::string kept = m_folder / "kept";
    client->download(server.address("/bytes/1000"), [&, record = completions.callback()](HttpDownload download) {
        std::filesystem::rename(download.temporaryFile.value_or(""), kept);
        record(download);
    });
    completions.waitFor(2);
    client.reset();

    EXPECT_EQ(landed.result.response.value_or(HttpResponse {}).statusCode, 200);
    const std::filesystem::path file(landed.result.temporaryFile.value_or(""));
    EXPECT_EQ(file.parent_path(), m_folder.path());
    EXPECT_TRUE(file.filename().string().starts_with("tessaro-download-"));
    EXPECT_TRUE(landed.content == patternBytes(3145729));
    EXPECT_EQ(std::filesystem::file_size(kept), 1000u);
    std::filesystem::remove(kept);
    EXPECT_TRUE(m_folder.entries().empty());
}

// Nothing listens on port 1 of the loopback address; ".invalid" names no host anywhere. A
// full disk is as the kernel gives it: writes past the file size limit fail with EFBIG.
// Where a reason can name what failed (the connection, the host, the certificate, the
// disk), it does.
TEST_F(CurlHttpClientTest, FailedRequestsCompleteOnceOnTheWorkerThreadWithAnErrorAndLeaveNoFile)
{
    const std::vector<std::string> unusable = { "http://127.0.0.1:1/",
                                                "http://tessaro-test.invalid/",
                                                "not an address",
                                                "file:///etc/passwd",
                                                "ftp://127.0.0.1/",
                                                std::string("http://127.0.0.1/\0/x", 19) };
    const TemporaryFolder keys(m_parent);
    const SelfSignedServer tls(keys.path());
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit former {};
    ::getrlimit(RLIMIT_FSIZE, &former);
    const rlimit limited { 1024 * 1024, former.rlim_max };
    ::setrlimit(RLIMIT_FSIZE, &limited);
    Completions<HttpFetch> fetches;
    Completions<HttpDownload> downloads;
    for (const auto& address : unusable) {
        client->fetch(address, fetches.callback());
        client->download(address, downloads.callback());
    }
    std::vector<std::string> addresses { tls.address().value_or("http://127.0.0.1:1/") };
    for (const char* path : { "/truncated", "/hops/11", "/to-file", "/chunked/3145729" })
        addresses.push_back(server.address(path));
    for (const auto& address : addresses)
        client->download(address, downloads.callback());
    const auto fetched = fetches.waitFor(unusable.size());
    const auto downloaded = downloads.waitFor(unusable.size() + addresses.size());
    ::setrlimit(RLIMIT_FSIZE, &former);
    client.reset();

    std::set<std::thread::id> threads;
    for (const auto& seen : fetched) {
        EXPECT_TRUE(seen.result.error && !seen.result.body && !seen.result.response);
        threads.insert(seen.thread);
    }
    std::map<std::string, int> named;
    for (const auto& seen : downloaded) {
        EXPECT_TRUE(seen.result.error && !seen.result.temporaryFile);
        for (const char* reason :
             { "Failed to connect to 127.0.0.1 port 1 ", "Could not resolve host: tessaro-test.invalid",
               "SSL certificate problem: self", "File too large" })
            named[reason] += seen.result.error.value_or("").find(reason) != std::string::npos;
        threads.insert(seen.thread);
    }
    EXPECT_EQ(fetched.size() + downloaded.size(), 2 * unusable.size() + addresses.size());
    EXPECT_EQ(named,
              (std::map<std::string, int> { { "Failed to connect to 127.0.0.1 port 1 ", tls.address() ? 1 : 2 },
                                            { "Could not resolve host: tessaro-test.invalid", 1 },
                                            { "SSL certificate problem: self", tls.address() ? 1 : 0 },
                                            { "File too large", 1 } }));
    EXPECT_TRUE(m_folder.entries().empty());
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_FALSE(threads.contains(std::this_thread::get_id()));
    if (!tls.address())
        GTEST_SKIP() << "no openssl tool: the certificate problem was not tried";
}

TEST_F(CurlHttpClientTest, DestructionAbandonsStalledRequests)
{
    Completions<HttpFetch> fetches;
    Completions<HttpDownload> downloads;
    client->fetch(server.address("/stall"), fetches.callback());
    client->download(server.address("/stall"), downloads.callback());
    while (server.stalls < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    client.reset();
    EXPECT_TRUE(fetches.waitFor(0).empty());
    EXPECT_TRUE(downloads.waitFor(0).empty());
    EXPECT_TRUE(m_folder.entries().empty());
}

}
}
