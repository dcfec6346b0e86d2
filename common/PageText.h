#pragma once

#include <functional>
#include <string_view>

namespace tessaro {

// One piece of a text's UTF-8 form; answering false stops the reading.
using TextPiece = std::function<bool(std::string_view)>;

// Text from the page, read in pieces, in order: it hands each to the piece function and
// says whether it read all of the text. A long text is read this way where it is used,
// so the program never holds it whole beside the engine's own copy.
using PageText = std::function<bool(const TextPiece& piece)>;

}
