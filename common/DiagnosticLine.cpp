#include "common/DiagnosticLine.h"

#include <cstdio>
#include <utility>

namespace tessaro {

namespace {

void appendHexEscape(std::string& out, const char* format, unsigned value)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

}

std::string diagnosticLine(std::string_view text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            line += "\\n";
        } else if (byte == '\r') {
            line += "\\r";
        } else if (byte == '\t') {
            line += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            appendHexEscape(line, "\\x%02x", byte);
        } else if (byte == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
                   && static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            // U+0080 to U+009F: C1 controls, which terminals obey as well (NEL ends a line).
            appendHexEscape(line, "\\u%04x", static_cast<unsigned char>(text[++i]));
        } else
            line += static_cast<char>(byte);
    }
    return line;
}

PageText diagnosticLinePieces(PageText text)
{
    return [text = std::move(text)](const TextPiece& piece) {
        return text([&piece](std::string_view part) { return piece(diagnosticLine(part)); });
    };
}

}
