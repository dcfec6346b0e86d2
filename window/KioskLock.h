#pragma once

#include <string>

#include "platform/Window.h"

namespace tessaro {

class BatteryReport;
class Screens;
class StandardOutput;
class Timers;

// Locks the exam window in place each time it is shown: it fills its screen, goes full
// screen, says whether that worked and hides its contents from screen capture where the
// desktop allows; the first lock starts the battery report for the window's life. Nothing
// ever lifts the lock: whenever the active window is found out of full screen (another
// client, a window-manager binding, a minimised window shown again without it), it asks
// for full screen again, once for each such change, so a window manager that refuses is
// never asked in a loop. Switching to another application is left alone: a compositor
// that takes the window out of full screen for that is answered when the student is back.
class KioskLock {
public:
    KioskLock(Screens&, StandardOutput&, Timers&, BatteryReport&);

    void lockScreen(Window& window);
    void windowDidChangeState(Window& window, WindowState state);

private:
    void finishLock(Window& window, bool locked);
    void writeLockLine(const std::string& prefix, bool locked);

    Screens& m_screens;
    StandardOutput& m_output;
    Timers& m_timers;
    BatteryReport& m_batteryReport;
    bool m_locked = false;
    // While the window manager has not answered a request, the states it passes through
    // are its answer, not a change to answer.
    bool m_asking = false;
    WindowState m_state;
};

}
