#include "tests/support/CallLog.h"

namespace tessaro::testing {

std::vector<std::string> CallLog::withPrefix(const std::string& prefix) const
{
    std::vector<std::string> matching;
    for (const auto& entry : m_entries) {
        if (entry.starts_with(prefix))
            matching.push_back(entry);
    }
    return matching;
}

int CallLog::indexOf(const std::string& entry) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i] == entry)
            return static_cast<int>(i);
    }
    return -1;
}

}
