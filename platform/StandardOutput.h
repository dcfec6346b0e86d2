#pragma once

#include <string_view>

namespace tessaro {

// Where diagnostic lines go. writeLine adds the line feed and flushes; it may be called
// from any thread, and lines never interleave.
class StandardOutput {
public:
    virtual ~StandardOutput() = default;
    virtual void writeLine(std::string_view line) = 0;
};

}
