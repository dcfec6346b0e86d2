#include "PatternBytes.h"

#include <algorithm>

namespace tessaro {

PatternBytes::PatternBytes()
    : buffer(chunkSize + period, '\0')
{
    for (size_t index = 0; index < buffer.size(); ++index) {
        buffer[index] = static_cast<char>(index % period);
    }
}

std::string_view PatternBytes::at(uint64_t offset, size_t length) const
{
    return std::string_view(buffer).substr(offset % period, std::min(length, chunkSize));
}

}
