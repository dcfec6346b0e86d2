#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace tessaro {

// A delay written as decimal seconds ("2", "0.25"), from the command line or from a query.
class DecimalSeconds {
public:
    // Delays longer than this are refused: nothing here needs more, and a huge value from a
    // query would not fit a duration.
    static constexpr double longest = 3600.0;

    // The delay, or nothing when the text is not a plain non-negative decimal number up to
    // `longest`.
    static std::optional<std::chrono::milliseconds> parse(std::string_view text);
};

}
