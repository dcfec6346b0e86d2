#include "platform/Url.h"

#include <algorithm>

#include "platform/glib/GLibOwners.h"

namespace tessaro::url {

bool isValid(std::string_view text)
{
    const std::string terminated(text);
    if (terminated.size() != std::char_traits<char>::length(terminated.c_str()))
        return false;
    // A percent-escape may stand for any byte, as in every browser: an exam key from a
    // launch link is bytes, and its escapes must not make the launch address invalid.
    return g_uri_is_valid(
        terminated.c_str(),
        GUriFlags(G_URI_FLAGS_ENCODED_PATH | G_URI_FLAGS_ENCODED_QUERY | G_URI_FLAGS_ENCODED_FRAGMENT), nullptr);
}

std::optional<std::string> scheme(std::string_view text)
{
    const std::string terminated(text);
    // Lower case, interned by GLib: not ours to free.
    const char* scheme = g_uri_peek_scheme(terminated.c_str());
    if (!scheme)
        return std::nullopt;
    return std::string(scheme);
}

std::optional<std::vector<std::string>> pathComponents(std::string_view text)
{
    const std::string terminated(text);
    // Launch links come from people and web pages: a stray space or a bare "%" in one
    // should not cost the student the exam key.
    GRefPtr<GUri, g_uri_unref> uri(
        g_uri_parse(terminated.c_str(), GUriFlags(G_URI_FLAGS_PARSE_RELAXED | G_URI_FLAGS_ENCODED_PATH), nullptr));
    if (!uri)
        return std::nullopt;

    const std::string_view path = g_uri_get_path(uri.get());
    std::vector<std::string> components;
    if (path.starts_with('/'))
        components.emplace_back("/");
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string segment(path.substr(start, end - start));
        if (!segment.empty()) {
            gsize length = 0;
            GRefPtr<GBytes, g_bytes_unref> bytes(
                g_uri_unescape_bytes(segment.c_str(), segment.size(), nullptr, nullptr));
            if (!bytes)
                return std::nullopt;
            const auto* data = static_cast<const char*>(g_bytes_get_data(bytes.get(), &length));
            components.emplace_back(data, length);
        }
        start = end + 1;
    }
    return components;
}

std::string encodeQueryValue(std::string_view text)
{
    GCharPtr escaped(g_uri_escape_bytes(reinterpret_cast<const guint8*>(text.data()), text.size(), nullptr));
    return escaped.get();
}

std::string fileAddress(std::string_view absolutePath)
{
    const std::string terminated(absolutePath);
    GCharPtr address(g_filename_to_uri(terminated.c_str(), nullptr, nullptr));
    return address ? std::string(address.get()) : std::string();
}

}
