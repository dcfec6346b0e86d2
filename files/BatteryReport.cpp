#include "files/BatteryReport.h"

#include "files/BatteryLevel.h"
#include "web/ExamWebView.h"

namespace tessaro {

BatteryReport::BatteryReport(PowerSources& powerSources, ExamWebView& webView)
    : m_powerSources(powerSources)
    , m_webView(webView)
{
}

void BatteryReport::sendBatteryLevel()
{
    m_webView.sendPageMessage("battery", batteryLevel(m_powerSources));
}

}
