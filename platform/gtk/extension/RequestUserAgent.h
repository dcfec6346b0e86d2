#pragma once

#include <webkit/webkit-web-process-extension.h>

namespace tessaro {

// Every request of every page in this web process leaves with the user agent the program
// handed over (a string), backslashes and all.
void replaceRequestUserAgent(WebKitWebProcessExtension* extension, const GVariant* userData);

}
