#include "CurlClientTest.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tessaro {

namespace {

std::string makeFolder()
{
    std::string name = (std::filesystem::temp_directory_path() / "curl-client-test-XXXXXX").string();
    EXPECT_NE(::mkdtemp(name.data()), nullptr);
    return name;
}

std::optional<std::string> environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

}

CurlClientTest::CurlClientTest()
    : folder(makeFolder())
    , m_formerTemporaryFolder(environment("TMPDIR"))
{
    ::setenv("TMPDIR", folder.c_str(), 1);
    client = std::make_unique<CurlHttpClient>(userAgent);
}

CurlClientTest::~CurlClientTest()
{
    client.reset();
    std::filesystem::remove_all(folder);
    if (m_formerTemporaryFolder) {
        ::setenv("TMPDIR", m_formerTemporaryFolder->c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

std::function<void(HttpDownload)> CurlClientTest::landIn(Completions<Landed>& completions)
{
    return [&completions](HttpDownload download) {
        std::optional<std::string> content;
        if (download.temporaryFile) {
            std::ifstream file(*download.temporaryFile, std::ios::binary);
            content = std::string(std::istreambuf_iterator<char>(file), {});
        }
        completions.record(Landed { std::move(download), std::move(content) });
    };
}

std::vector<std::string> CurlClientTest::temporaryFiles() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

std::string CurlClientTest::closedPortAddress()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
}

}
