#include "bridge/BatteryReport.h"

#include "bridge/BatteryLevel.h"
#include "common/PageMessenger.h"

namespace tessaro {

BatteryReport::BatteryReport(PowerSources& powerSources, PageMessenger& page)
    : m_powerSources(powerSources)
    , m_page(page)
{
}

void BatteryReport::sendBatteryLevel()
{
    m_page.sendPageMessage("battery", batteryLevel(m_powerSources));
}

}
