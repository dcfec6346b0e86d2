#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Application.h"

namespace tessaro {

class Pasteboard;
class StandardOutput;
class Timers;

// The application's delegate: keeps the exam key that a launch link carries, turns the
// quit shortcut into a guarded quit, and ends the exam the same way on a signal to quit.
class AppDelegate {
public:
    static constexpr int quitPresses = 4;
    static constexpr double quitPressWindowSeconds = 1.0;

    AppDelegate(Application&, Pasteboard&, Timers&, StandardOutput&, std::string& examKey);

    // The first link's first path segment becomes the exam key; a link without one
    // keeps the key there is. Storing a key loads nothing.
    void openURLs(const std::vector<std::string>& urls);

    // Quits on the fourth press within a second of the first; each press schedules its
    // own reset, and none is ever cancelled.
    void pressCmdQ();

    // A logout, shutdown or terminal ends the exam as the quit shortcut does, saying so.
    void receiveQuitSignal(QuitSignal signal);

private:
    void clear();

    Application& m_application;
    Pasteboard& m_pasteboard;
    Timers& m_timers;
    StandardOutput& m_output;
    std::string& m_examKey;
    std::int64_t m_times = 0;
};

}
