#include "PatternBytes.h"

#include <algorithm>

namespace tessaro {

PatternBytes::PatternBytes()
    : m_buffer(chunkSize + period, '\0')
{
    for (size_t index = 0; index < m_buffer.size(); ++index)
        m_buffer[index] = static_cast<char>(index % period);
}

std::string_view PatternBytes::at(uint64_t offset, size_t length) const
{
    return std::string_view(m_buffer).substr(offset % period, std::min(length, chunkSize));
}

}
