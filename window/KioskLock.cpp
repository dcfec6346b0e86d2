#include "window/KioskLock.h"

#include "bridge/BatteryReport.h"
#include "bridge/BatteryReportInterval.h"
#include "platform/Screens.h"
#include "platform/StandardOutput.h"
#include "platform/Timers.h"
#include "platform/Window.h"

namespace tessaro {

KioskLock::KioskLock(Screens& screens, StandardOutput& output, Timers& timers, BatteryReport& batteryReport)
    : m_screens(screens)
    , m_output(output)
    , m_timers(timers)
    , m_batteryReport(batteryReport)
{
}

void KioskLock::lockScreen(Window& window)
{
    window.fillScreen();
    if (m_screens.hasMainScreen()) {
        // The answer is what the window manager did, which only it can tell, and later.
        window.enterFullScreen([this, &window](bool locked) { finishLock(window, locked); });
    } else
        finishLock(window, false);
    // The battery report counts from the lock, whenever the window manager answers.
    m_timers.schedule(batteryReportIntervalSeconds, true, [this] { m_batteryReport.sendBatteryLevel(); });
}

void KioskLock::finishLock(Window& window, bool locked)
{
    m_output.writeLine(std::string("Was able to lock? ") + (locked ? "true" : "false"));
    if (!window.excludeFromCapture())
        m_output.writeLine("This desktop cannot keep the exam window out of screen captures");
}

}
