#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tessaro::testing {

// What the core asked of the fake host, in order, as short readable entries.
using CallLog = std::vector<std::string>;
// Lines of output, page calls, loaded addresses: texts in order.
using Lines = std::vector<std::string>;

// A fake that writes what it is asked into the host's call log.
class Recorder {
public:
    explicit Recorder(CallLog& calls)
        : m_calls(calls)
    {
    }

protected:
    void record(std::string entry) { m_calls.push_back(std::move(entry)); }

private:
    CallLog& m_calls;
};

}
