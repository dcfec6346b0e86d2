#include "web/PageCall.h"

#include <charconv>
#include <cstdio>

namespace tessaro {

namespace {

constexpr std::string_view callPrefix = "window.K$ && window.K$.macOS && window.K$.macOS.message('";
constexpr std::string_view argumentSeparator = "', '";
constexpr std::string_view callSuffix = "');";

std::string floatText(float value)
{
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    std::string text(digits, result.ptr);
    if (text.find_first_of(".eEn") == std::string::npos)
        text += ".0";
    return text;
}

// The body of a single-quoted JavaScript string literal. U+2028 and U+2029 end a line in
// older engines' string literals, so they are escaped like line feeds.
void appendStringLiteralBody(std::string& script, std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
        case '\\':
            script += "\\\\";
            continue;
        case '\'':
            script += "\\'";
            continue;
        case '\n':
            script += "\\n";
            continue;
        case '\r':
            script += "\\r";
            continue;
        default:
            break;
        }
        if (byte < 0x20 || byte == 0x7f) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            script += escape;
        } else if (byte == 0xe2 && text.substr(i + 1, 2) == "\x80\xa8") {
            script += "\\u2028";
            i += 2;
        } else if (byte == 0xe2 && text.substr(i + 1, 2) == "\x80\xa9") {
            script += "\\u2029";
            i += 2;
        } else
            script += static_cast<char>(byte);
    }
}

}

std::string payloadText(const PagePayload& payload)
{
    if (const auto* text = std::get_if<std::string>(&payload))
        return *text;
    if (const auto* flag = std::get_if<bool>(&payload))
        return *flag ? "true" : "false";
    return floatText(std::get<float>(payload));
}

std::string composePageCall(std::string_view name, const PagePayload& payload)
{
    const std::string text = payloadText(payload);
    std::string script;
    script.reserve(callPrefix.size() + name.size() + text.size() + text.size() / 8 + 16);
    script += callPrefix;
    appendStringLiteralBody(script, name);
    script += argumentSeparator;
    appendStringLiteralBody(script, text);
    script += callSuffix;
    return script;
}

}
