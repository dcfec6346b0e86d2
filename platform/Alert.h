#pragma once

#include <string>

namespace tessaro {

struct AlertContent {
    std::string messageText;
    std::string informativeText;
    std::string buttonTitle;
};

class Alert {
public:
    virtual ~Alert() = default;
    // Shows an application-modal alert and returns when its button is pressed. While
    // it is up the main loop serves only the alert: no timer fires.
    virtual void runModal(const AlertContent& content) = 0;
};

}
