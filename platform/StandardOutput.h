#pragma once

#include <string_view>

#include "common/PageText.h"

namespace tessaro {

// Where diagnostic lines go. writeLine adds the line feed and flushes; it may be called
// from any thread, and lines never interleave.
class StandardOutput {
public:
    virtual ~StandardOutput() = default;
    virtual void writeLine(std::string_view line) = 0;
    // One line written piece by piece as the text is read, never held whole: no other
    // line comes between its pieces. It ends where the text stops.
    virtual void writeLineInPieces(const PageText& line) = 0;
};

}
