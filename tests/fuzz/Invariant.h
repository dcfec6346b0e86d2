#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tessaro::fuzzing {

// A broken invariant is a finding like a crash: the run stops and libFuzzer keeps the
// input that broke it.
inline void require(bool holds, std::string_view invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "Broken invariant: %.*s\n", static_cast<int>(invariant.size()), invariant.data());
    std::abort();
}

// Whether the text can stand as one line on a terminal: no line break, no other C0
// control or DEL, and no C1 control written as UTF-8 (a terminal obeys NEL as well).
inline bool isOneTerminalLine(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7f)
            return false;
        if (byte == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
            && static_cast<unsigned char>(text[i + 1]) <= 0x9f)
            return false;
    }
    return true;
}

}
