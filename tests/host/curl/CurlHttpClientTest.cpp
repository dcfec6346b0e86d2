#include <gtest/gtest.h>

#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <thread>

#include <sys/resource.h>

#include <httplib.h>

#include "platform/curl/CurlHttpClient.h"

namespace tessaro {
namespace {

// A loopback web server with the routes the tests need:
//   /echo/TEXT            200 with TEXT
//   /status/CODE          CODE with "status CODE"
//   /hops/N               N redirects, then 200 "arrived"
//   /to-file              a redirect to a file:// address
//   /bytes/N, /chunked/N  N bytes of bytes(N), announced or chunked
//   /truncated            announces 1 MiB, sends 64 KiB and hangs up
//   /stall                sends 1 KiB, then nothing until the server goes
//   /user-agent           200 with the request's User-Agent
class TestServer {
public:
    TestServer()
    {
        addRoutes();
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~TestServer()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        m_server.stop();
        m_thread.join();
    }

    std::string address(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

    static std::string bytes(std::size_t count)
    {
        std::string bytes(count, '\0');
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
        return bytes;
    }

    // Returns once `count` requests for /stall are being held.
    void waitForStalls(int count)
    {
        std::unique_lock lock(m_mutex);
        ASSERT_TRUE(m_changed.wait_for(lock, std::chrono::minutes(1), [&] { return m_stalls >= count; }));
    }

private:
    void stall(httplib::DataSink& sink)
    {
        sink.write(bytes(1024).data(), 1024);
        std::unique_lock lock(m_mutex);
        ++m_stalls;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_stopping; });
    }

    void addRoutes()
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
        m_server.Get("/to-file",
                     [](const Request&, Response& response) { response.set_redirect("file:///etc/passwd"); });
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
    }

    static std::size_t number(const httplib::Request& request) { return std::stoull(request.matches[1].str()); }
    static constexpr std::size_t pieceBytes = 64 * 1024;

    httplib::Server m_server;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_stalls = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

// A download as its completion saw it, the file's content included.
struct Landed {
    HttpDownload download;
    std::optional<std::string> content;
};

// Collects what completions receive, and on which thread, from any thread.
template <typename Result> class Completions {
public:
    std::function<void(Result)> callback()
    {
        return [this](Result result) {
            const std::lock_guard lock(m_mutex);
            m_seen.emplace_back(std::move(result), std::this_thread::get_id());
            m_arrived.notify_all();
        };
    }

    // Waits for `count` completions; the bound only keeps a lost completion from hanging the test.
    std::vector<std::pair<Result, std::thread::id>> waitFor(std::size_t count)
    {
        std::unique_lock lock(m_mutex);
        EXPECT_TRUE(m_arrived.wait_for(lock, std::chrono::minutes(1), [&] { return m_seen.size() >= count; }));
        return m_seen;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<std::pair<Result, std::thread::id>> m_seen;
};

// A client and a loopback server, with temporary files going to a folder of the test's
// own, so that any file left behind shows.
class CurlHttpClientTest : public ::testing::Test {
protected:
    CurlHttpClientTest() { ::setenv("TMPDIR", m_folder.c_str(), 1); }
    ~CurlHttpClientTest() override
    {
        client.reset();
        std::filesystem::remove_all(m_folder);
    }

    static std::function<void(HttpDownload)> landIn(Completions<Landed>& completions)
    {
        return [record = completions.callback()](HttpDownload download) {
            std::optional<std::string> content;
            if (download.temporaryFile) {
                std::ifstream file(*download.temporaryFile, std::ios::binary);
                content = std::string(std::istreambuf_iterator<char>(file), {});
            }
            record(Landed { std::move(download), std::move(content) });
        };
    }

    std::vector<std::string> temporaryFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::string m_folder = [] {
        static const auto parent = std::filesystem::temp_directory_path(); // before any test sets TMPDIR
        std::string name = (parent / "curl-client-test-XXXXXX").string();
        EXPECT_NE(::mkdtemp(name.data()), nullptr);
        return name;
    }();

public:
    TestServer server;
    std::unique_ptr<CurlHttpClient> client = std::make_unique<CurlHttpClient>("Tessaro/1.0.0 test");
};

TEST_F(CurlHttpClientTest, FetchesGiveTheBodyWithTheFinalStatusOrAnErrorAndTheStatusSeen)
{
    struct Case {
        std::string path;
        long status;
        std::optional<std::string> body;
    };
    const Case cases[] = {
        { "/echo/hello", 200, "hello" },
        { "/echo/", 200, "" },
        { "/status/404", 404, "status 404" },
        { "/status/500", 500, "status 500" },
        { "/hops/10", 200, "arrived" },
        { "/user-agent", 200, "Tessaro/1.0.0 test" },
        { "/chunked/16777216", 200, TestServer::bytes(16 * 1024 * 1024) },
        { "/bytes/16777217", 200, std::nullopt },
        { "/chunked/16777217", 200, std::nullopt },
        { "/hops/11", 302, std::nullopt },
        { "/to-file", 302, std::nullopt },
        { "/truncated", 200, std::nullopt },
    };
    for (const auto& [path, status, body] : cases) {
        Completions<HttpFetch> completions;
        client->fetch(server.address(path), completions.callback());
        const auto seen = completions.waitFor(1);
        ASSERT_EQ(seen.size(), 1u) << path;
        const HttpFetch& fetch = seen[0].first;
        EXPECT_TRUE(fetch.body == body) << path;
        EXPECT_EQ(fetch.error.has_value(), !body) << path;
        EXPECT_EQ(fetch.response.value_or(HttpResponse {}).statusCode, status) << path;
    }
}

TEST_F(CurlHttpClientTest, ADownloadLandsInATemporaryFileRemovedAfterTheCompletionUnlessMovedAway)
{
    Completions<Landed> completions;
    client->download(server.address("/chunked/3145729"), landIn(completions));
    const std::string kept = m_folder + "/kept";
    client->download(server.address("/bytes/1000"), [&, record = completions.callback()](HttpDownload download) {
        ASSERT_TRUE(download.temporaryFile) << download.error.value_or("");
        std::filesystem::rename(*download.temporaryFile, kept);
        record(Landed {});
    });

    const auto seen = completions.waitFor(2);
    client.reset();
    const auto landed = seen[0].first.download.temporaryFile ? seen[0].first : seen[1].first;
    EXPECT_EQ(landed.download.response.value_or(HttpResponse {}).statusCode, 200);
    const std::filesystem::path file(landed.download.temporaryFile.value_or(""));
    EXPECT_EQ(file.parent_path(), m_folder);
    EXPECT_TRUE(file.filename().string().starts_with("tessaro-download-"));
    EXPECT_TRUE(landed.content == TestServer::bytes(3145729));
    EXPECT_EQ(temporaryFiles(), std::vector<std::string> { "kept" });
    EXPECT_EQ(std::filesystem::file_size(kept), 1000u);
}

// Nothing listens on port 1 of the loopback address.
TEST_F(CurlHttpClientTest, FailedRequestsCompleteOnceOnTheWorkerThreadWithAnErrorAndLeaveNoFile)
{
    const std::vector<std::string> unusable = { "http://127.0.0.1:1/",     "",
                                                "not an address",          "http://[::1",
                                                "http://127.0.0.1:99999/", "file:///etc/passwd",
                                                "ftp://127.0.0.1/",        std::string("http://127.0.0.1/\0/x", 19) };
    Completions<HttpFetch> fetches;
    Completions<Landed> downloads;
    for (const auto& address : unusable) {
        client->fetch(address, fetches.callback());
        client->download(address, landIn(downloads));
    }
    for (const char* path : { "/truncated", "/hops/11", "/to-file" })
        client->download(server.address(path), landIn(downloads));
    const auto fetched = fetches.waitFor(unusable.size());
    const auto downloaded = downloads.waitFor(unusable.size() + 3);
    client.reset();

    std::set<std::thread::id> threads;
    EXPECT_EQ(fetched.size(), unusable.size());
    for (const auto& [fetch, thread] : fetched) {
        EXPECT_TRUE(fetch.error && !fetch.body && !fetch.response);
        threads.insert(thread);
    }
    EXPECT_EQ(downloaded.size(), unusable.size() + 3);
    for (const auto& [landed, thread] : downloaded) {
        EXPECT_TRUE(landed.download.error && !landed.download.temporaryFile);
        threads.insert(thread);
    }
    EXPECT_TRUE(temporaryFiles().empty());
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_FALSE(threads.contains(std::this_thread::get_id()));
}

TEST_F(CurlHttpClientTest, AFailedWriteAbortsTheDownload)
{
    // A file size limit, as a full disk would be: writes past it fail with EFBIG.
    rlimit former {};
    ::getrlimit(RLIMIT_FSIZE, &former);
    const auto formerHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = former;
    limited.rlim_cur = 1024 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    Completions<Landed> completions;
    client->download(server.address("/chunked/3145729"), landIn(completions));
    const auto seen = completions.waitFor(1);
    client.reset();
    ::setrlimit(RLIMIT_FSIZE, &former);
    std::signal(SIGXFSZ, formerHandler);

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].first.download.error.value_or("").find("File too large"), std::string::npos);
    EXPECT_EQ(seen[0].first.download.temporaryFile, std::nullopt);
    EXPECT_TRUE(temporaryFiles().empty());
}

TEST_F(CurlHttpClientTest, DestructionAbandonsStalledRequests)
{
    Completions<HttpFetch> fetches;
    Completions<Landed> downloads;
    client->fetch(server.address("/stall"), fetches.callback());
    client->download(server.address("/stall"), landIn(downloads));
    server.waitForStalls(2);

    client.reset();
    EXPECT_TRUE(fetches.waitFor(0).empty());
    EXPECT_TRUE(downloads.waitFor(0).empty());
    EXPECT_TRUE(temporaryFiles().empty());
}

}
}
