#pragma once

#include <optional>
#include <string>

namespace tessaro {

// The whole content of a small file such as those under /proc and /sys, whose size
// the file system does not report; nothing when it cannot be read.
std::optional<std::string> readFileContents(const std::string& path);

}
