#include "CurlClientTest.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace tessaro {

namespace {

constexpr size_t downloadBytes = 3 * 1024 * 1024 + 1;

// Limits the size of any file this process writes, as a full disk would: writes past
// the limit fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
        : m_formerHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_former);
        rlimit limited = m_former;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_former);
        std::signal(SIGXFSZ, m_formerHandler);
    }

private:
    void (*m_formerHandler)(int);
    rlimit m_former {};
};

TEST_F(CurlClientTest, DownloadLandsInATemporaryFileRemovedAfterTheCompletion)
{
    Completions<Landed> completions;
    client->download(server.address("/chunked/" + std::to_string(downloadBytes)), landIn(completions));

    const auto seen = completions.waitFor(1);
    client.reset();
    ASSERT_EQ(seen.size(), 1u);
    const HttpDownload& download = seen[0].result.download;
    EXPECT_EQ(download.error, std::nullopt);
    ASSERT_TRUE(download.response);
    EXPECT_EQ(download.response->statusCode, 200);
    ASSERT_TRUE(download.temporaryFile);
    const std::filesystem::path file(*download.temporaryFile);
    EXPECT_EQ(file.parent_path(), folder);
    EXPECT_EQ(file.filename().string().rfind("tessaro-download-", 0), 0u);
    EXPECT_TRUE(seen[0].result.content == TestServer::bytes(downloadBytes));
    EXPECT_TRUE(temporaryFiles().empty());
}

TEST_F(CurlClientTest, DownloadMovedAwayByTheCompletionStays)
{
    const std::string kept = folder + "/kept";
    Completions<HttpDownload> completions;
    client->download(server.address("/bytes/1000"), [&](HttpDownload download) {
        std::filesystem::rename(download.temporaryFile.value(), kept);
        completions.record(std::move(download));
    });

    completions.waitFor(1);
    client.reset();
    EXPECT_EQ(temporaryFiles(), std::vector<std::string> { "kept" });
    EXPECT_EQ(std::filesystem::file_size(kept), 1000u);
}

TEST_F(CurlClientTest, FailedDownloadsLeaveNoFile)
{
    const std::vector<std::string> addresses
        = { closedPortAddress(), server.address("/truncated"), server.address("/hops/11"), server.address("/to-file") };
    Completions<Landed> completions;
    for (const auto& address : addresses)
        client->download(address, landIn(completions));

    const auto seen = completions.waitFor(addresses.size());
    client.reset();
    for (const auto& landed : seen) {
        EXPECT_TRUE(landed.result.download.error);
        EXPECT_EQ(landed.result.download.temporaryFile, std::nullopt);
    }
    EXPECT_TRUE(temporaryFiles().empty());
}

TEST_F(CurlClientTest, FailedWriteAbortsTheDownload)
{
    FileSizeLimit limit(1024 * 1024);
    Completions<Landed> completions;
    client->download(server.address("/chunked/" + std::to_string(downloadBytes)), landIn(completions));

    const auto seen = completions.waitFor(1);
    client.reset();
    ASSERT_EQ(seen.size(), 1u);
    const HttpDownload& download = seen[0].result.download;
    ASSERT_TRUE(download.error);
    EXPECT_NE(download.error->find("File too large"), std::string::npos) << *download.error;
    EXPECT_EQ(download.temporaryFile, std::nullopt);
    EXPECT_TRUE(temporaryFiles().empty());
}

}

}
