#include "web/PressureLock.h"

#include "platform/WebView.h"

namespace tessaro {

void applyPressureLock(WebView& webView)
{
    webView.setPressureConfiguration(PressureBehavior::primaryClick);
}

}
