#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessaro {

// One running application as the desktop knows it; either value may be unknown.
struct RunningApplication {
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
};

class RunningApplications {
public:
    virtual ~RunningApplications() = default;
    // The current user's running applications, in the order they were started.
    virtual std::vector<RunningApplication> runningApplications() = 0;
};

}
