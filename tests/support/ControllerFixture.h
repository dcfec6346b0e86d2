#pragma once

#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/support/FakeHost.h"
#include "window/ViewController.h"

namespace tessaro::testing {

inline const Endpoints testEndpoints { "https://status.exam.test/status.json", "https://exam.test/native-launch" };
inline const std::string launchPage = testEndpoints.launchPageURL + "?examkey=";

// An exam view controller on the fake host, its view loaded as the shell would.
class ExamView {
public:
    void loadView()
    {
        controller = std::make_unique<ViewController>(host, testEndpoints, examKey);
        controller->loadView(host.window);
    }

    FakeWebView& page() { return *host.webView; }

    // The page calls made so far, and forgets them.
    std::vector<std::string> takePageCalls() { return std::exchange(page().scripts, {}); }

    // The status check runs at one second and its fetch ends with this; the launch that
    // follows runs on the main thread.
    void answerStatus(HttpFetch fetch)
    {
        host.clock.advance(ViewController::statusCheckDelaySeconds);
        host.http.fetches.at(0).completion(std::move(fetch));
        host.clock.advance(0);
    }

    static std::string pageCall(const std::string& name, const std::string& payloadText)
    {
        return "window.K$ && window.K$.macOS && window.K$.macOS.message('" + name + "', '" + payloadText + "');";
    }

    FakeHost host;
    std::string examKey;
    std::unique_ptr<ViewController> controller;
};

class ControllerFixture : public ::testing::Test, public ExamView {
protected:
    void SetUp() override { loadView(); }
};

}
