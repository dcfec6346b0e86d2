#include "window/KioskLock.h"

#include <utility>

#include "bridge/BatteryReport.h"
#include "bridge/BatteryReportInterval.h"
#include "platform/Screens.h"
#include "platform/StandardOutput.h"
#include "platform/Timers.h"

namespace tessaro {

namespace {

bool outOfFullScreen(WindowState state)
{
    return state.active && !state.fullScreen;
}

}

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
        m_asking = true;
        window.enterFullScreen([this, &window](bool locked) {
            m_asking = false;
            finishLock(window, locked);
        });
    } else
        finishLock(window, false);
    // The battery report counts from the first lock, whenever the window manager answers;
    // showing the window again adds no second report.
    if (!std::exchange(m_locked, true))
        m_timers.schedule(batteryReportIntervalSeconds, true, [this] { m_batteryReport.sendBatteryLevel(); });
}

void KioskLock::windowDidChangeState(Window& window, WindowState state)
{
    const bool leftFullScreen = m_locked && !m_asking && outOfFullScreen(state) && !outOfFullScreen(m_state);
    m_state = state;
    if (!leftFullScreen)
        return;
    m_asking = true;
    window.enterFullScreen([this](bool locked) {
        m_asking = false;
        writeLockLine("The exam window left full screen; asked for it again. ", locked);
    });
}

void KioskLock::finishLock(Window& window, bool locked)
{
    writeLockLine("", locked);
    if (!window.excludeFromCapture())
        m_output.writeLine("This desktop cannot keep the exam window out of screen captures");
}

void KioskLock::writeLockLine(const std::string& prefix, bool locked)
{
    m_output.writeLine(prefix + "Was able to lock? " + (locked ? "true" : "false"));
}

}
