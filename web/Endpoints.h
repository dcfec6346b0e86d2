#pragma once

#include <string>

namespace tessaro {

// The exam service's two addresses, fixed when the program is built.
struct Endpoints {
    std::string statusDocumentURL;
    std::string launchPageURL;
};

}
