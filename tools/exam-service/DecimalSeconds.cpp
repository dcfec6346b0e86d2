#include "DecimalSeconds.h"

#include <charconv>
#include <cmath>

namespace tessaro {

std::optional<std::chrono::milliseconds> DecimalSeconds::parse(std::string_view text)
{
    double seconds = 0.0;
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
    if (text.empty() || failure != std::errc {} || stop != end || !(seconds >= 0.0 && seconds <= longest))
        return std::nullopt;
    return std::chrono::milliseconds { std::llround(seconds * 1000.0) };
}

}
