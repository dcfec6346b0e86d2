#pragma once

#include "web/Endpoints.h"

namespace tessaro {

// What one executable is built for: the desktop's application ID, the service's
// endpoints and the application version. Each executable links its own profile.
struct BuildProfile {
    std::string applicationId;
    std::string applicationVersion;
    Endpoints endpoints;
};

const BuildProfile& buildProfile();

}
