#include "CurlClientTest.h"

#include <set>

namespace tessaro {

namespace {

TEST_F(CurlClientTest, CompletionsRunOnOneWorkerThreadNeverTheCaller)
{
    Completions<HttpFetch> fetches;
    Completions<Landed> downloads;
    client->fetch(server.address("/echo/hello"), fetches.callback());
    client->fetch("not an address", fetches.callback());
    client->download(server.address("/bytes/10"), landIn(downloads));
    client->download("not an address", landIn(downloads));

    std::set<std::thread::id> threads;
    for (const auto& seen : fetches.waitFor(2))
        threads.insert(seen.thread);
    for (const auto& seen : downloads.waitFor(2))
        threads.insert(seen.thread);
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_FALSE(threads.contains(std::this_thread::get_id()));
}

TEST_F(CurlClientTest, EachOfManyConcurrentRequestsCompletesOnce)
{
    constexpr int requests = 50;
    Completions<HttpFetch> completions;
    for (int i = 0; i < requests; ++i)
        client->fetch(server.address("/echo/" + std::to_string(i)), completions.callback());

    completions.waitFor(requests);
    client.reset();
    std::multiset<std::string> bodies;
    for (const auto& seen : completions.all())
        bodies.insert(seen.result.body.value_or("no body"));
    std::multiset<std::string> expected;
    for (int i = 0; i < requests; ++i)
        expected.insert(std::to_string(i));
    EXPECT_EQ(bodies, expected);
}

TEST_F(CurlClientTest, DestructionAbandonsStalledRequests)
{
    Completions<HttpFetch> fetches;
    Completions<Landed> downloads;
    client->fetch(server.address("/stall"), fetches.callback());
    client->download(server.address("/stall"), landIn(downloads));
    server.waitForStalls(2);

    client.reset();
    EXPECT_TRUE(fetches.all().empty());
    EXPECT_TRUE(downloads.all().empty());
    EXPECT_TRUE(temporaryFiles().empty());
}

}

}
