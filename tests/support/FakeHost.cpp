#include "tests/support/FakeHost.h"

namespace tessaro::testing {

std::unique_ptr<WebView> FakeHost::createWebView()
{
    auto view = std::make_unique<FakeWebView>(calls);
    webView = view.get();
    return view;
}

void FakeHost::scan(std::function<void(std::vector<RunningApplication>)> done)
{
    clock.schedule(scanSeconds, false, [list = applications.runningApplications(), done = std::move(done)]() mutable {
        done(std::move(list));
    });
}

}
