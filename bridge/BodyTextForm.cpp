#include "bridge/BodyTextForm.h"

#include <algorithm>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "common/MessageBody.h"

namespace tessaro {

namespace {

// Text is escaped this many bytes at a time, so a long text is never copied whole.
constexpr std::size_t escapeChunk = std::size_t { 1 } << 16;

std::string jsonText(const nlohmann::json& value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

// The text inside a JSON string's quotes, escaped a chunk at a time; a chunk never
// splits a character, which the escaping would take for broken UTF-8.
bool writeEscaped(std::string_view text, const TextPiece& piece)
{
    while (!text.empty()) {
        std::size_t size = std::min(escapeChunk, text.size());
        while (size < text.size() && size > 0 && isContinuationByte(text[size]))
            --size;
        if (size == 0)
            size = std::min(escapeChunk, text.size());
        const std::string quoted = jsonText(std::string(text.substr(0, size)));
        if (!piece(std::string_view(quoted).substr(1, quoted.size() - 2)))
            return false;
        text.remove_prefix(size);
    }
    return true;
}

bool writeQuoted(const PageText& text, const TextPiece& piece)
{
    return piece("\"") && text([&piece](std::string_view part) { return writeEscaped(part, piece); }) && piece("\"");
}

bool readable(const PageText& text)
{
    return text([](std::string_view /*piece*/) { return true; });
}

}

PageText bodyTextForm(const MessageBody& body)
{
    return [&body](const TextPiece& piece) {
        // Read through once before the first piece goes: an unreadable text makes the whole
        // body null, and a line once begun cannot take back what it wrote.
        if ((body.longText && !readable(body.longText))
            || !std::ranges::all_of(body.longTexts, [](const auto& member) { return readable(member.second); }))
            return piece("null");
        if (body.longText)
            return body.longText(piece);
        if (body.tree.is_string())
            return piece(body.tree.get_ref<const std::string&>());
        if (body.longTexts.empty() || !body.tree.is_object())
            return piece(jsonText(body.tree));
        // An object with long texts, its members in the order its JSON text has them.
        if (!piece("{"))
            return false;
        bool first = true;
        for (const auto& [key, value] : body.tree.items()) {
            if (!(first || piece(",")) || !piece(jsonText(key)) || !piece(":"))
                return false;
            first = false;
            const auto longText = body.longTexts.find(key);
            if (!(longText == body.longTexts.end() ? piece(jsonText(value)) : writeQuoted(longText->second, piece)))
                return false;
        }
        return piece("}");
    };
}

}
