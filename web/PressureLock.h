#pragma once

namespace tessaro {

class WebView;

// Force presses on the page act as plain clicks; set again after every finished
// navigation.
void applyPressureLock(WebView& webView);

}
