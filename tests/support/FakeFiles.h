#pragma once

#include <map>
#include <set>

#include "platform/Files.h"
#include "tests/support/CallLog.h"

namespace tessaro::testing {

// A Downloads folder in memory: what exists there, and what was written.
class FakeFiles final : public Files {
public:
    explicit FakeFiles(CallLog& calls)
        : m_calls(calls)
    {
    }

    PathOrError downloadsFolder() override;
    std::optional<FileError> moveWithoutReplacing(const std::string& from, const std::string& to) override;
    std::optional<FileError> writeAtomically(const std::string& path, const std::string& content) override;

    PathOrError folder = std::string("/home/student/Downloads");
    std::optional<FileError> moveFailure;
    std::optional<FileError> writeFailure;
    std::set<std::string> existing;
    std::map<std::string, std::string> written;

private:
    CallLog& m_calls;
};

}
