// The engine refuses a user agent with backslashes in its settings, but the exam service
// knows its client by exactly that string: so every request the page makes gets it here,
// just before it leaves.

#include "platform/gtk/extension/RequestUserAgent.h"

namespace tessaro {

namespace {

gboolean replaceUserAgent(WebKitWebPage*, WebKitURIRequest* request, WebKitURIResponse*, gpointer userAgent)
{
    if (SoupMessageHeaders* headers = webkit_uri_request_get_http_headers(request))
        soup_message_headers_replace(headers, "User-Agent", static_cast<const char*>(userAgent));
    return false;
}

void pageCreated(WebKitWebProcessExtension*, WebKitWebPage* page, gpointer userAgent)
{
    g_signal_connect(page, "send-request", G_CALLBACK(replaceUserAgent), userAgent);
}

}

void replaceRequestUserAgent(WebKitWebProcessExtension* extension, const GVariant* userData)
{
    auto* data = const_cast<GVariant*>(userData);
    if (!data || !g_variant_is_of_type(data, G_VARIANT_TYPE_STRING))
        return;
    // Kept for the life of the web process.
    gchar* userAgent = g_variant_dup_string(data, nullptr);
    g_signal_connect(extension, "page-created", G_CALLBACK(pageCreated), userAgent);
}

}
