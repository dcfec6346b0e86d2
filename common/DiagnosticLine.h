#pragma once

#include <string>
#include <string_view>

#include "common/PageText.h"

namespace tessaro {

// Text from the page or the network, made safe for one diagnostic line: line breaks,
// other control characters and C1 controls are written as escapes, so no text can
// end its line early or forge another one.
std::string diagnosticLine(std::string_view text);

// The same for a text read in pieces, each made safe as it passes; the pieces must not
// split a character.
PageText diagnosticLinePieces(PageText text);

}
