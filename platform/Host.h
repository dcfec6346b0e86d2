#pragma once

#include <memory>

#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/FileChooser.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/MainQueue.h"
#include "platform/Pasteboard.h"
#include "platform/PowerSources.h"
#include "platform/Resources.h"
#include "platform/RunningApplicationScans.h"
#include "platform/RunningApplications.h"
#include "platform/ScreenCasts.h"
#include "platform/Screens.h"
#include "platform/StandardOutput.h"
#include "platform/SystemInfo.h"
#include "platform/Timers.h"
#include "platform/WebView.h"

namespace tessaro {

// Everything the program asks of the machine it runs on.
class Host {
public:
    virtual ~Host() = default;
    virtual Application& application() = 0;
    virtual MainQueue& mainQueue() = 0;
    virtual Timers& timers() = 0;
    virtual Pasteboard& pasteboard() = 0;
    virtual StandardOutput& standardOutput() = 0;
    virtual Screens& screens() = 0;
    virtual Alert& alert() = 0;
    virtual RunningApplications& runningApplications() = 0;
    virtual ScreenCasts& screenCasts() = 0;
    virtual RunningApplicationScans& runningApplicationScans() = 0;
    virtual SystemInfo& systemInfo() = 0;
    virtual PowerSources& powerSources() = 0;
    virtual HttpClient& httpClient() = 0;
    virtual Files& files() = 0;
    virtual FileChooser& fileChooser() = 0;
    virtual Resources& resources() = 0;
    virtual std::unique_ptr<WebView> createWebView() = 0;
};

}
