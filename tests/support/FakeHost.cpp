#include "tests/support/FakeHost.h"

namespace tessaro::testing {

std::unique_ptr<WebView> FakeHost::createWebView()
{
    auto view = std::make_unique<FakeWebView>(calls);
    webView = view.get();
    return view;
}

int FakeHost::count()
{
    calls.emplace_back("screens.count");
    return screenCount;
}

void FakeHost::runModal(const AlertContent& content)
{
    calls.push_back("alert " + content.messageText);
    alerts.push_back(content);
    clock.held = true;
    clock.advance(alertSecondsUp);
    clock.held = false;
}

std::vector<std::string> FakeHost::activeScreenCasts()
{
    calls.emplace_back("activeScreenCasts");
    return casts;
}

void FakeHost::scan(std::function<void(std::vector<RunningApplication>)> done)
{
    clock.schedule(scanSeconds, false, [list = applications.runningApplications(), done = std::move(done)]() mutable {
        done(std::move(list));
    });
}

void FakeHost::chooseOneFile(std::function<void(std::optional<std::string>)> completion)
{
    openChoosers.push_back(std::move(completion));
}

void FakeHost::choose(std::optional<std::string> path)
{
    auto completion = std::move(openChoosers.front());
    openChoosers.erase(openChoosers.begin());
    completion(std::move(path));
}

}
