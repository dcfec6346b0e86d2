#include "CurlClientTest.h"

namespace tessaro {

namespace {

struct Answered {
    const char* path;
    long status;
    std::string body;
};

void PrintTo(const Answered& answered, std::ostream* out)
{
    *out << answered.path;
}

class FetchAnswered : public CurlClientTest, public ::testing::WithParamInterface<Answered> { };

TEST_P(FetchAnswered, DeliversTheBodyWithTheFinalStatus)
{
    Completions<HttpFetch> completions;
    client->fetch(server.address(GetParam().path), completions.callback());

    const auto seen = completions.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    const HttpFetch& fetch = seen[0].result;
    EXPECT_EQ(fetch.error, std::nullopt);
    ASSERT_TRUE(fetch.response);
    EXPECT_EQ(fetch.response->statusCode, GetParam().status);
    EXPECT_EQ(fetch.body, GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(Responses, FetchAnswered,
                         ::testing::Values(Answered { "/echo/hello", 200, "hello" },
                                           Answered { "/status/404", 404, "status 404" },
                                           Answered { "/status/500", 500, "status 500" },
                                           Answered { "/empty", 200, "" }, Answered { "/hops/3", 200, "arrived" },
                                           Answered { "/hops/10", 200, "arrived" },
                                           Answered { "/to-missing", 404, "status 404" },
                                           Answered { "/user-agent", 200, "Tessaro/1.0.0 test" },
                                           Answered { "/cookie/set", 200, "no cookie" }));

TEST_F(CurlClientTest, FetchTakesABodyOfExactlyTheLimit)
{
    Completions<HttpFetch> completions;
    client->fetch(server.address("/chunked/16777216"), completions.callback());

    const auto seen = completions.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].result.error, std::nullopt);
    EXPECT_TRUE(seen[0].result.body == TestServer::bytes(16 * 1024 * 1024));
}

struct Refused {
    const char* path;
    long status;
};

void PrintTo(const Refused& refused, std::ostream* out)
{
    *out << refused.path;
}

class FetchRefused : public CurlClientTest, public ::testing::WithParamInterface<Refused> { };

TEST_P(FetchRefused, FailsWithoutBodyButWithTheStatusSeen)
{
    Completions<HttpFetch> completions;
    client->fetch(server.address(GetParam().path), completions.callback());

    const auto seen = completions.waitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    const HttpFetch& fetch = seen[0].result;
    EXPECT_TRUE(fetch.error);
    EXPECT_EQ(fetch.body, std::nullopt);
    ASSERT_TRUE(fetch.response);
    EXPECT_EQ(fetch.response->statusCode, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Failures, FetchRefused,
                         ::testing::Values(Refused { "/bytes/17825792", 200 }, Refused { "/chunked/17825792", 200 },
                                           Refused { "/hops/11", 302 }, Refused { "/to-file", 302 },
                                           Refused { "/truncated", 200 }));

TEST_F(CurlClientTest, UnusableAddressesFailOnceWithoutResponse)
{
    const std::vector<std::string> addresses = { closedPortAddress(),
                                                 "",
                                                 "not an address",
                                                 "http://",
                                                 "http://[::1",
                                                 "http://127.0.0.1:99999/",
                                                 "file:///etc/passwd",
                                                 "ftp://127.0.0.1/",
                                                 std::string("http://127.0.0.1/\0/x", 19) };
    Completions<HttpFetch> fetches;
    Completions<Landed> downloads;
    for (const auto& address : addresses) {
        client->fetch(address, fetches.callback());
        client->download(address, landIn(downloads));
    }
    fetches.waitFor(addresses.size());
    downloads.waitFor(addresses.size());
    client.reset();

    const auto fetched = fetches.all();
    ASSERT_EQ(fetched.size(), addresses.size());
    for (const auto& seen : fetched) {
        EXPECT_TRUE(seen.result.error);
        EXPECT_EQ(seen.result.body, std::nullopt);
        EXPECT_EQ(seen.result.response, std::nullopt);
    }
    const auto downloaded = downloads.all();
    ASSERT_EQ(downloaded.size(), addresses.size());
    for (const auto& seen : downloaded) {
        EXPECT_TRUE(seen.result.download.error);
        EXPECT_EQ(seen.result.download.temporaryFile, std::nullopt);
        EXPECT_EQ(seen.result.download.response, std::nullopt);
    }
    EXPECT_TRUE(temporaryFiles().empty());
}

}

}
