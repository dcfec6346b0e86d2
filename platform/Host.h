#pragma once

#include <memory>

#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/FileChooser.h"
#include "platform/Machine.h"
#include "platform/MainQueue.h"
#include "platform/Pasteboard.h"
#include "platform/Resources.h"
#include "platform/Screens.h"
#include "platform/Timers.h"
#include "platform/WebView.h"

namespace tessaro {

// Everything the program asks of the machine it runs on: the desktop toolkit's part
// here, the operating system's in Machine.
class Host : public Machine {
public:
    virtual Application& application() = 0;
    virtual MainQueue& mainQueue() = 0;
    virtual Timers& timers() = 0;
    virtual Pasteboard& pasteboard() = 0;
    virtual Screens& screens() = 0;
    virtual Alert& alert() = 0;
    virtual FileChooser& fileChooser() = 0;
    virtual Resources& resources() = 0;
    virtual std::unique_ptr<WebView> createWebView() = 0;
};

}
