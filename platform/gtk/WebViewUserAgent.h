#pragma once

#include <string>

typedef struct _WebKitWebView WebKitWebView;

namespace tessaro {

// Gives the view's every request and the page's script the exact user agent. The
// engine's settings take only HTTP tokens, so they get the text without its
// backslashes; the web process extension in extensionsDirectory (empty when it could
// not be found) puts the exact text on every request.
void applyUserAgent(WebKitWebView* view, const std::string& extensionsDirectory, const std::string& userAgent);

}
