#pragma once

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/e2e/support/Subprocess.h"

namespace tessaro::e2e {

// The local exam service on the port tessaro-local talks to, started with the given
// options; every request it saw can be read back.
class ExamService {
public:
    ExamService(const std::string& folder, const std::vector<std::string>& options);

    std::vector<nlohmann::json> requests() const;
    std::vector<nlohmann::json> requestsFor(const std::string& path) const;
    // What the page reported (the bodies of POST /report).
    std::vector<nlohmann::json> reports() const;
    // The first report that matches, waiting for it.
    std::optional<nlohmann::json> waitForReport(const std::function<bool(const nlohmann::json&)>& matches,
                                                Seconds timeout) const;
    std::optional<nlohmann::json> waitForMessage(const std::string& name, Seconds timeout) const;
    std::vector<nlohmann::json> messages(const std::string& name) const;

    static std::string origin();

private:
    std::string m_log;
    std::unique_ptr<Subprocess> m_process;
};

}
