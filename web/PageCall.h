#pragma once

#include <string>
#include <string_view>

#include "common/PagePayload.h"

namespace tessaro {

// The payload as the page receives it: the text itself, "true"/"false", or the
// shortest decimal that reads back as the same float, always with a decimal point.
std::string payloadText(const PagePayload& payload);

// The script that hands the page's message function the name and the payload text.
// Both are written as single-quoted string literals with everything escaped that could
// end or break one, so the page receives exactly the text, whatever it holds.
std::string composePageCall(std::string_view name, const PagePayload& payload);

}
