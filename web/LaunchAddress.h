#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// The first address the exam opens: the fallback site's /init when routing is exactly
// "fallback", otherwise the launch page with the exam key as its "examkey" query value.
// The key is percent-encoded, so it can never add query members or a fragment.
std::string launchAddress(std::string_view routing, std::string_view fallbackDomain, std::string_view launchPageURL,
                          std::string_view examKey);

}
