#pragma once

namespace tessaro {

class PageMessenger;
class PowerSources;

// Tells the page the battery level; a missing battery reads as 0.0 like an empty one.
class BatteryReport {
public:
    BatteryReport(PowerSources&, PageMessenger&);
    void sendBatteryLevel();

private:
    PowerSources& m_powerSources;
    PageMessenger& m_page;
};

}
