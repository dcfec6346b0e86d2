#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Completions.h"
#include "TestServer.h"
#include "platform/curl/CurlHttpClient.h"

namespace tessaro {

// A download as its completion saw it, the file's content included.
struct Landed {
    HttpDownload download;
    std::optional<std::string> content;
};

// A client and a loopback server, with temporary files going to a folder of the test's
// own, so that any file left behind shows.
class CurlClientTest : public ::testing::Test {
protected:
    static constexpr const char* userAgent = "Tessaro/1.0.0 test";

    CurlClientTest();
    ~CurlClientTest() override;

    std::function<void(HttpDownload)> landIn(Completions<Landed>& completions);
    std::vector<std::string> temporaryFiles() const;
    // An address on which nothing listens.
    static std::string closedPortAddress();

public:
    std::string folder;
    TestServer server;
    std::unique_ptr<CurlHttpClient> client;

private:
    std::optional<std::string> m_formerTemporaryFolder;
};

}
