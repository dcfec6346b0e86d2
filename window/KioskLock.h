#pragma once

#include <string>

namespace tessaro {

class BatteryReport;
class Screens;
class StandardOutput;
class Timers;
class Window;

// Locks the exam window in place each time it is shown: it fills its screen, goes full
// screen, says whether that worked, starts the battery report and hides its contents
// from screen capture where the desktop allows. Nothing ever lifts the lock.
class KioskLock {
public:
    KioskLock(Screens&, StandardOutput&, Timers&, BatteryReport&);

    void lockScreen(Window& window);

private:
    void finishLock(Window& window, bool locked);

    Screens& m_screens;
    StandardOutput& m_output;
    Timers& m_timers;
    BatteryReport& m_batteryReport;
};

}
