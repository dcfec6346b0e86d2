#include "platform/posix/StdoutOutput.h"

#include <cstdio>

namespace tessaro {

namespace {

// One line on standard output, ended and flushed when it goes. The stream's own lock,
// which every writer to standard output takes for each call, is held for the whole
// line: a line from another thread, ours or a library's, can only come before or after
// it, never inside.
class StdoutLine {
public:
    StdoutLine() { flockfile(stdout); }
    ~StdoutLine()
    {
        std::fputc('\n', stdout);
        std::fflush(stdout);
        funlockfile(stdout);
    }
    StdoutLine(const StdoutLine&) = delete;
    StdoutLine& operator=(const StdoutLine&) = delete;

    static bool write(std::string_view piece)
    {
        return std::fwrite(piece.data(), 1, piece.size(), stdout) == piece.size();
    }
};

}

void StdoutOutput::writeLine(std::string_view line)
{
    const StdoutLine output;
    StdoutLine::write(line);
}

void StdoutOutput::writeLineInPieces(const PageText& line)
{
    const StdoutLine output;
    line(StdoutLine::write);
}

}
