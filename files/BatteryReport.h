#pragma once

namespace tessaro {

class ExamWebView;
class PowerSources;

// Tells the page the battery level; a missing battery reads as 0.0 like an empty one.
class BatteryReport {
public:
    BatteryReport(PowerSources&, ExamWebView&);
    void sendBatteryLevel();

private:
    PowerSources& m_powerSources;
    ExamWebView& m_webView;
};

}
