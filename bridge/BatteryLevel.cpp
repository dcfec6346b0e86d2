#include "bridge/BatteryLevel.h"

#include "platform/PowerSources.h"

namespace tessaro {

float batteryLevel(PowerSources& powerSources)
{
    const auto sources = powerSources.powerSources();
    if (sources.empty() || !sources.front().currentCapacity)
        return 0.0f;
    return static_cast<float>(*sources.front().currentCapacity) / 100.0f;
}

}
