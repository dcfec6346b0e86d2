#pragma once

#include <string>

namespace tessaro {

enum class AlertStyle { warning = 0 };

struct AlertContent {
    std::string messageText;
    std::string informativeText;
    AlertStyle style = AlertStyle::warning;
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
