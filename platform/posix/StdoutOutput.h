#pragma once

#include <string_view>

#include "platform/StandardOutput.h"

namespace tessaro {

// Diagnostic lines on the process's standard output, each written and flushed whole.
class StdoutOutput final : public StandardOutput {
public:
    void writeLine(std::string_view line) override;
    void writeLineInPieces(const PageText& line) override;
};

}
