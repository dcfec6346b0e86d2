#pragma once

#include <string>
#include <vector>

namespace tessaro::testing {

// What the core asked of the fake host, in order, as short readable entries.
class CallLog {
public:
    void add(std::string entry) { m_entries.push_back(std::move(entry)); }
    const std::vector<std::string>& entries() const { return m_entries; }
    // The entries that start with the prefix, in order.
    std::vector<std::string> withPrefix(const std::string& prefix) const;
    // Position of the first entry equal to the text, or -1.
    int indexOf(const std::string& entry) const;
    void clear() { m_entries.clear(); }

private:
    std::vector<std::string> m_entries;
};

}
