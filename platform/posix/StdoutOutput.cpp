#include "platform/posix/StdoutOutput.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace tessaro {

namespace {

// One lock for every writer: there is one standard output, however many owners.
std::mutex outputMutex;

}

void StdoutOutput::writeLine(std::string_view line)
{
    // The line and its line feed go out in one write, so a line from another thread
    // can only come before or after it, never inside.
    std::string whole;
    whole.reserve(line.size() + 1);
    whole.append(line);
    whole.push_back('\n');
    const std::lock_guard lock(outputMutex);
    std::fwrite(whole.data(), 1, whole.size(), stdout);
    std::fflush(stdout);
}

}
