#pragma once

#include <string_view>

namespace tessaro {

// Whether a name from the page names a file directly inside the Downloads folder:
// not empty, not "." or "..", and without "/" or NUL. Anything else could reach
// another folder, so it is refused.
bool isPlainFileName(std::string_view name);

}
