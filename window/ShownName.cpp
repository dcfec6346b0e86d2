#include "window/ShownName.h"

#include <cstdio>

namespace tessaro {

namespace {

// The length of the UTF-8 sequence at the start of text, or 0 when it is not one
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::size_t utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto lead = byte(0);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        value = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        value = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        value = lead & 0x07;
    } else
        return 0;
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i) & 0x3f);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    const bool surrogate = value >= 0xd800 && value <= 0xdfff;
    if (overlong || surrogate || value > 0x10ffff)
        return 0;
    return length;
}

bool isControl(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1)
        return lead < 0x20 || lead == 0x7f;
    // U+0080 to U+009F, and the line and paragraph separators U+2028 and U+2029.
    return (sequence.size() == 2 && lead == 0xc2 && static_cast<unsigned char>(sequence[1]) <= 0x9f)
        || sequence == "\u2028" || sequence == "\u2029";
}

std::string escaped(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(c));
        text += escape;
    }
    return text;
}

}

std::string shownName(std::string_view text, std::size_t maxCharacters)
{
    std::string shown;
    std::size_t characters = 0;
    while (!text.empty()) {
        const std::size_t length = utf8SequenceLength(text);
        const std::string_view sequence = text.substr(0, length == 0 ? 1 : length);
        const std::string piece = (length == 0 || isControl(sequence)) ? escaped(sequence) : std::string(sequence);
        const std::size_t pieceCharacters = length == 0 || isControl(sequence) ? piece.size() : 1;
        if (characters + pieceCharacters > maxCharacters) {
            shown += "\u2026";
            break;
        }
        shown += piece;
        characters += pieceCharacters;
        text.remove_prefix(sequence.size());
    }
    return shown;
}

}
