#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// Text from the page or the network, made safe for one diagnostic line: line breaks,
// other control characters and C1 controls are written as escapes, so no text can
// end its line early or forge another one.
std::string diagnosticLine(std::string_view text);

}
