#include "platform/posix/ErrorText.h"

#include <cstring>

namespace tessaro {

namespace {

// strerror_r comes in two shapes: the GNU one returns the text, which need not be in
// the buffer; the XSI one fills the buffer and returns a status.
std::string textOf(const char* text, const char*)
{
    return text;
}

[[maybe_unused]] std::string textOf(int status, const char* buffer)
{
    return status == 0 ? std::string(buffer) : std::string("Unknown error");
}

}

std::string errorText(int errorNumber)
{
    char buffer[256] = {};
    return textOf(strerror_r(errorNumber, buffer, sizeof buffer), buffer);
}

}
