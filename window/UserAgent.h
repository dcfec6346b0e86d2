#pragma once

#include <string>

#include "platform/SystemInfo.h"

namespace tessaro {

// The web view's user agent. The exam service recognises its client by this exact
// string, the two backslashes and "Intel Mac OS X" included.
std::string userAgent(const OperatingSystemVersion& version, const std::string& applicationVersion);

}
