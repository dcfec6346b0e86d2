#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessaro {

// A running application's identifier and name.
struct ApplicationData {
    std::string bundleIdentifier;
    std::string name;

    bool operator==(const ApplicationData&) const = default;
};

// One running application as the desktop knows it: its identifier and its name, or
// neither when either is unknown.
using RunningApplication = std::optional<ApplicationData>;

inline RunningApplication runningApplication(std::optional<std::string> identifier, std::optional<std::string> name)
{
    if (!identifier || !name)
        return std::nullopt;
    return ApplicationData { std::move(*identifier), std::move(*name) };
}

class RunningApplications {
public:
    virtual ~RunningApplications() = default;
    // The current user's running applications, in the order they were started.
    virtual std::vector<RunningApplication> runningApplications() = 0;
    // Every process of the machine, whoever runs it (system services included), named and
    // identified as above; a process whose executable cannot be read is identified by its
    // process name.
    virtual std::vector<RunningApplication> everyProcess() = 0;
};

}
