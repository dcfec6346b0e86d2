#pragma once

#include <memory>
#include <string>

#include "platform/Host.h"

namespace tessaro {

// The host this build runs on, registered with the desktop under applicationId.
std::unique_ptr<Host> makeHost(int argc, char** argv, const std::string& applicationId,
                               const std::string& applicationVersion);

}
