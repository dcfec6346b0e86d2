#include "platform/gtk/WebViewUserAgent.h"

#include <webkit/webkit.h>

#include <nlohmann/json.hpp>

#include "platform/glib/GLibOwners.h"

namespace tessaro {

void applyUserAgent(WebKitWebView* view, const std::string& extensionsDirectory, const std::string& userAgent)
{
    std::string tokensOnly = userAgent;
    std::erase(tokensOnly, '\\');
    webkit_settings_set_user_agent(webkit_web_view_get_settings(view), tokensOnly.c_str());

    if (!extensionsDirectory.empty()) {
        WebKitWebContext* context = webkit_web_view_get_context(view);
        webkit_web_context_set_web_process_extensions_directory(context, extensionsDirectory.c_str());
        webkit_web_context_set_web_process_extensions_initialization_user_data(context,
                                                                               g_variant_new_string(userAgent.c_str()));
    }

    const std::string script = "Object.defineProperty(Navigator.prototype, 'userAgent', { get() { return "
        + nlohmann::json(userAgent).dump() + "; }, configurable: true });";
    const GRefPtr<WebKitUserScript, webkit_user_script_unref> userScript(
        webkit_user_script_new(script.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr));
    webkit_user_content_manager_add_script(webkit_web_view_get_user_content_manager(view), userScript.get());
}

}
