#include "ExamService.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tessaro {
namespace {

namespace fs = std::filesystem;

class ExamServiceTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "exam-service-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }

    void TearDown() override
    {
        service.reset();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Starts the service on a free port; the test fails at once when it cannot.
    void start(ServiceOptions options = {})
    {
        service = std::make_unique<ExamService>(std::move(options));
        std::optional<std::string> failure = service->start(0);
        ASSERT_FALSE(failure) << *failure;
    }

    httplib::Client client() const { return httplib::Client("127.0.0.1", service->port()); }

    std::string withPort(std::string text) const
    {
        std::string marker = "PORT";
        text.replace(text.find(marker), marker.size(), std::to_string(service->port()));
        return text;
    }

    std::vector<nlohmann::json> logLines() const
    {
        std::vector<nlohmann::json> lines;
        std::ifstream file(folder / "requests.jsonl");
        for (std::string line; std::getline(file, line);)
            lines.push_back(nlohmann::json::parse(line));
        return lines;
    }

public:
    fs::path folder;
    std::unique_ptr<ExamService> service;
};

ServiceOptions statusOptions(StatusMode mode)
{
    ServiceOptions options;
    options.statusMode = mode;
    return options;
}

TEST_F(ExamServiceTest, StatusModesAnswerWithTheirCodeAndBody)
{
    struct Case {
        const char* name;
        ServiceOptions options;
        int code;
        std::string body;
        std::string type;
    };
    ServiceOptions overridden = statusOptions(StatusMode::Fallback);
    overridden.routing = "FALLBACK";
    overridden.fallbackDomain = "https://fallback.example";
    ServiceOptions custom = statusOptions(StatusMode::Custom);
    custom.statusBody = R"({"routing":null})";
    custom.statusCode = 503;
    const Case cases[] = {
        { "default", statusOptions(StatusMode::Default), 200,
          R"({"routing":"default","fallback_domain":"http://127.0.0.1:PORT/fallback"})", "application/json" },
        { "fallback", statusOptions(StatusMode::Fallback), 200,
          R"({"routing":"fallback","fallback_domain":"http://127.0.0.1:PORT/fallback"})", "application/json" },
        { "valid-500", statusOptions(StatusMode::Valid500), 500,
          R"({"routing":"default","fallback_domain":"http://127.0.0.1:PORT/fallback"})", "application/json" },
        { "overridden", overridden, 200, R"({"routing":"FALLBACK","fallback_domain":"https://fallback.example"})",
          "application/json" },
        { "empty", statusOptions(StatusMode::Empty), 200, "", "application/json" },
        { "custom", custom, 503, R"({"routing":null})", "application/json" },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        start(test.options);
        httplib::Result result = client().Get("/status.json");
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        EXPECT_EQ(result->status, test.code);
        std::string expected = test.body.find("PORT") == std::string::npos ? test.body : withPort(test.body);
        EXPECT_EQ(result->body, expected);
        EXPECT_EQ(result->get_header_value("Content-Type"), test.type);
        service.reset();
    }
}

TEST_F(ExamServiceTest, Html404StatusIsANotFoundPage)
{
    start(statusOptions(StatusMode::Html404));
    httplib::Result result = client().Get("/status.json");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 404);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(result->body.find("<title>Not found</title>"), std::string::npos);
}

TEST_F(ExamServiceTest, DroppedStatusIsATransportErrorForTheClient)
{
    start(statusOptions(StatusMode::Drop));
    httplib::Result result = client().Get("/status.json");
    EXPECT_FALSE(result);
}

TEST_F(ExamServiceTest, RequestLogHasOneLinePerRequestWithWhatWasSent)
{
    ServiceOptions options;
    options.requestLogFile = (folder / "requests.jsonl").string();
    start(options);
    const std::string userAgent = R"(Mozilla\/5.0 (Macintosh; Intel Mac OS X 6_1_0) tessaro-macOS app 1.0.0)";
    httplib::Client http = client();
    ASSERT_TRUE(http.Get("/status.json?examkey=a%20b%26c&lang=de", { { "User-Agent", userAgent } }));
    ASSERT_TRUE(http.Post("/report", R"({"kind":"loaded"})", "application/json"));
    ASSERT_TRUE(http.Get("/no/such/page"));
    ASSERT_TRUE(http.Post("/report", std::string(70000, 'x'), "text/plain"));

    std::vector<nlohmann::json> lines = logLines();
    ASSERT_EQ(lines.size(), 4u);

    EXPECT_EQ(lines[0]["method"], "GET");
    EXPECT_EQ(lines[0]["path"], "/status.json");
    EXPECT_EQ(lines[0]["query"], "examkey=a%20b%26c&lang=de");
    EXPECT_EQ(lines[0]["params"], nlohmann::json({ { "examkey", "a b&c" }, { "lang", "de" } }));
    EXPECT_EQ(lines[0]["headers"]["User-Agent"], userAgent);
    EXPECT_FALSE(lines[0]["headers"].contains("REMOTE_ADDR"));
    EXPECT_EQ(lines[0]["body"], "");

    EXPECT_EQ(lines[1]["method"], "POST");
    EXPECT_EQ(lines[1]["path"], "/report");
    EXPECT_EQ(lines[1]["headers"]["Content-Type"], "application/json");
    EXPECT_EQ(lines[1]["body"], R"({"kind":"loaded"})");

    EXPECT_EQ(lines[2]["path"], "/no/such/page");
    EXPECT_EQ(lines[2]["query"], "");
    EXPECT_EQ(lines[2]["params"], nlohmann::json::object());

    EXPECT_EQ(lines[3]["body"], std::string(64 * 1024, 'x'));
}

TEST_F(ExamServiceTest, LargeFileHasTheAskedLengthAndThePattern)
{
    start();
    httplib::Client http = client();

    httplib::Result standard = http.Get("/files/large.bin");
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->body.size(), 1024u * 1024u);
    EXPECT_EQ(standard->get_header_value("Content-Type"), "application/octet-stream");

    httplib::Result sized = http.Get("/files/large.bin?bytes=70000");
    ASSERT_TRUE(sized);
    const std::string& bytes = sized->body;
    ASSERT_EQ(bytes.size(), 70000u);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\x00\x01\x02\x03\x04\x05", 6));
    EXPECT_EQ(bytes.substr(249, 4), std::string("\xf9\xfa\x00\x01", 4));
    EXPECT_EQ(bytes.substr(65535, 2), std::string("\x18\x19", 2));

    httplib::Result empty = http.Get("/files/large.bin?bytes=0");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->status, 200);
    EXPECT_EQ(empty->body, "");
}

TEST_F(ExamServiceTest, RoutesAnswerWithTheirCodeAndType)
{
    struct Case {
        const char* path;
        int code;
        const char* type;
        const char* contains;
    };
    const Case cases[] = {
        { "/native-launch?examkey=abc", 200, "text/html; charset=utf-8", "Tessaro demo exam" },
        { "/fallback/init", 200, "text/html; charset=utf-8", "<title>Fallback site</title>" },
        { "/bridge.js", 200, "text/javascript; charset=utf-8", "window.K$" },
        { "/files/small.txt", 200, "text/plain; charset=utf-8", "small text file" },
        { "/files/slow.txt?seconds=0", 200, "text/plain; charset=utf-8", "took its time" },
        { "/files/missing.txt", 404, "text/html; charset=utf-8", "Not found" },
        { "/status_json", 404, "text/html; charset=utf-8", "Not found" },
        { "/files/slow.txt?seconds=soon", 400, "text/plain; charset=utf-8", "seconds" },
        { "/files/large.bin?bytes=-5", 400, "text/plain; charset=utf-8", "bytes" },
    };
    start();
    httplib::Client http = client();
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path);
        httplib::Result result = http.Get(test.path);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, test.code);
        EXPECT_EQ(result->get_header_value("Content-Type"), test.type);
        EXPECT_NE(result->body.find(test.contains), std::string::npos);
    }
}

TEST_F(ExamServiceTest, AttachmentAsksToBeSaved)
{
    start();
    httplib::Result result = client().Get("/files/attachment.txt");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->get_header_value("Content-Disposition"), R"(attachment; filename="attachment.txt")");
    EXPECT_EQ(result->get_header_value("Content-Type"), "application/octet-stream");
}

TEST_F(ExamServiceTest, VerifiesSecurityAnswersWithoutRevealingThem)
{
    start();
    httplib::Client http = client();
    std::string right = SecurityVerifier::configured().expectedAnswer("key 1");
    const std::pair<httplib::Params, const char*> cases[] = {
        { { { "examkey", "key 1" }, { "answer", right } }, R"({"verified":true})" },
        { { { "examkey", "key 2" }, { "answer", right } }, R"({"verified":false})" },
        { { { "examkey", "key 1" } }, R"({"verified":false})" },
        { { { "answer", right } }, R"({"verified":false})" },
    };
    for (const auto& [params, verdict] : cases) {
        httplib::Result result = http.Get("/verify-security", params, {});
        ASSERT_TRUE(result);
        EXPECT_EQ(result->body, verdict);
    }
}

TEST_F(ExamServiceTest, UploadTellsNameAndSizeOfTheFile)
{
    start();
    httplib::Client http = client();
    httplib::Result uploaded = http.Post(
        "/upload", httplib::MultipartFormDataItems { { "file", "hello world", "notes.txt", "text/plain" } });
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(uploaded->status, 200);
    EXPECT_EQ(nlohmann::json::parse(uploaded->body), nlohmann::json({ { "name", "notes.txt" }, { "size", 11 } }));

    httplib::Result notAForm = http.Post("/upload", "hello", "text/plain");
    ASSERT_TRUE(notAForm);
    EXPECT_EQ(notAForm->status, 400);
}

TEST_F(ExamServiceTest, ReportsAreAcceptedWithoutContent)
{
    start();
    httplib::Result result = client().Post("/report", R"({"kind":"message"})", "application/json");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 204);
}

TEST_F(ExamServiceTest, LaunchPageFileReplacesTheDemoPage)
{
    fs::path page = folder / "page.html";
    std::ofstream(page) << "<p>test page</p>";
    ServiceOptions options;
    options.launchPageFile = page.string();
    start(options);
    httplib::Result result = client().Get("/native-launch?examkey=");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body, "<p>test page</p>");
}

TEST_F(ExamServiceTest, MissingLaunchPageFileStopsTheStart)
{
    ServiceOptions options;
    options.launchPageFile = (folder / "absent.html").string();
    ExamService absent(options);
    std::optional<std::string> failure = absent.start(0);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("absent.html"), std::string::npos);
}

TEST_F(ExamServiceTest, BusyPortStopsTheStart)
{
    start();
    ExamService second { ServiceOptions {} };
    std::optional<std::string> failure = second.start(service->port());
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("Address already in use"), std::string::npos) << *failure;
}

TEST_F(ExamServiceTest, StoppingEndsASlowAnswer)
{
    ServiceOptions options;
    options.requestLogFile = (folder / "requests.jsonl").string();
    start(options);
    httplib::Client http = client();
    std::thread slowRequest([&http] { http.Get("/files/slow.txt?seconds=3600"); });
    while (logLines().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    service->stop();
    slowRequest.join();
    EXPECT_EQ(logLines().at(0)["path"], "/files/slow.txt");
}

}
}
