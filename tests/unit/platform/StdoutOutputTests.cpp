#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/StdoutOutput.h"
#include "tests/unit/platform/TemporaryFolder.h"

namespace tessaro {
namespace {

// Sends the process's standard output into a file for as long as it lives.
class CapturedStdout {
public:
    explicit CapturedStdout(const std::string& path)
    {
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, STDOUT_FILENO);
        ::close(file);
    }
    ~CapturedStdout()
    {
        std::fflush(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
    }

private:
    int saved_ = -1;
};

TEST(StdoutOutput, LinesFromManyThreadsNeverInterleave)
{
    TemporaryFolder folder;
    constexpr int threads = 8;
    constexpr int linesPerThread = 200;
    {
        CapturedStdout captured(folder / "out");
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t) {
            writers.emplace_back([t] {
                StdoutOutput output;
                const std::string line = "writer " + std::to_string(t) + " " + std::string(5000 + t, 'a' + t);
                for (int i = 0; i < linesPerThread; ++i) {
                    output.writeLine(line);
                }
            });
        }
        for (auto& writer : writers) {
            writer.join();
        }
    }
    std::map<std::string, int> counts;
    std::istringstream lines(fileContent(folder / "out"));
    for (std::string line; std::getline(lines, line);) {
        ++counts[line];
    }
    ASSERT_EQ(counts.size(), static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        EXPECT_EQ(counts["writer " + std::to_string(t) + " " + std::string(5000 + t, 'a' + t)], linesPerThread);
    }
}

TEST(StdoutOutput, WritesLargeAndEmptyLinesWhole)
{
    TemporaryFolder folder;
    const std::string large(50 * 1024 * 1024, 'L');
    {
        CapturedStdout captured(folder / "out");
        StdoutOutput output;
        output.writeLine("");
        output.writeLine(large);
        output.writeLine("after");
    }
    EXPECT_EQ(fileContent(folder / "out"), "\n" + large + "\nafter\n");
}

}
}
