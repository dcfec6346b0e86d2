#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "StatusMode.h"

namespace tessaro {

// Everything that shapes the service's answers; the port is chosen when it starts.
struct ServiceOptions {
    StatusMode statusMode = StatusMode::Default;
    std::optional<std::string> routing; // replaces the mode's own "routing" member
    std::optional<std::string> fallbackDomain; // replaces http://127.0.0.1:PORT/fallback
    std::string statusBody; // the body of StatusMode::Custom
    int statusCode = 200; // the status code of StatusMode::Custom
    std::chrono::milliseconds statusDelay { 0 };
    std::string launchPageFile; // served at /native-launch instead of the demo exam page
    std::string requestLogFile; // one JSON line per request; empty: no log
};

}
