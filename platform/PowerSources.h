#pragma once

#include <optional>
#include <vector>

namespace tessaro {

// One power source (a battery or a UPS); the charge in percent of the full charge,
// when it reports a usable whole number.
struct PowerSource {
    std::optional<long> currentCapacity;
};

class PowerSources {
public:
    virtual ~PowerSources() = default;
    // The machine's power sources in the platform's order; none on a machine without.
    virtual std::vector<PowerSource> powerSources() = 0;
};

}
