// Loaded by WebKit into each of its web processes, where the pages run.

#include <webkit/webkit-web-process-extension.h>

#include "platform/gtk/extension/FrameBridgeGuard.h"
#include "platform/gtk/extension/RequestUserAgent.h"

extern "C" G_MODULE_EXPORT void
webkit_web_process_extension_initialize_with_user_data(WebKitWebProcessExtension* extension, const GVariant* userData)
{
    tessaro::withholdBridgeFromForeignFrames();
    tessaro::replaceRequestUserAgent(extension, userData);
}
