#pragma once

#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/support/FakeHost.h"
#include "window/ViewController.h"

namespace tessaro::testing {

inline const Endpoints testEndpoints { "https://status.exam.test/status.json", "https://exam.test/native-launch" };

// An exam view controller on the fake host, its view loaded as the shell would.
class ControllerFixture : public ::testing::Test {
protected:
    void loadView()
    {
        controller = std::make_unique<ViewController>(host, testEndpoints, examKey);
        controller->loadView(host.window);
    }

    FakeWebView& page() { return *host.webView; }

    // The page calls made so far, and forgets them.
    std::vector<std::string> takePageCalls() { return std::exchange(page().scripts, {}); }

    static std::string pageCall(const std::string& name, const std::string& payloadText)
    {
        return "window.K$ && window.K$.macOS && window.K$.macOS.message('" + name + "', '" + payloadText + "');";
    }

public:
    // The fixture's state is the tests' own, like the fakes' fields.
    FakeHost host;
    std::string examKey;
    std::unique_ptr<ViewController> controller;
};

}
