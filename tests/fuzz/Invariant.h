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

}
