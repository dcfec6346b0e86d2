#include "tests/support/FakeHost.h"

namespace tessaro::testing {

FakeHost::FakeHost() = default;

std::unique_ptr<WebView> FakeHost::createWebView()
{
    auto view = std::make_unique<FakeWebView>(calls);
    webView = view.get();
    return view;
}

}
