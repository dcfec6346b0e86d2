#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

// The content of /files/large.bin: the byte at offset n is n mod 251. The prime period never
// lines up with a power-of-two buffer, so a block that a client drops or repeats shows in the
// bytes after it. Any stretch is served from one small buffer, never from the whole file.
class PatternBytes {
public:
    static constexpr size_t period = 251;
    static constexpr size_t chunkSize = 64 * 1024;

    PatternBytes();

    // The pattern from `offset` on, at most chunkSize bytes and at most `length`.
    std::string_view at(uint64_t offset, size_t length) const;

private:
    std::string m_buffer;
};

}
