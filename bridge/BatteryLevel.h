#pragma once

namespace tessaro {

class PowerSources;

// The battery's charge as a fraction: the first power source's charge in percent,
// divided by 100 and not clamped; 0.0 when there is nothing to read.
float batteryLevel(PowerSources& powerSources);

}
