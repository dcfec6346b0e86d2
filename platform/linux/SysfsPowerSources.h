#pragma once

#include <string>
#include <vector>

#include "platform/PowerSources.h"

namespace tessaro {

// The machine's batteries and UPSs that the kernel lists under /sys/class/power_supply,
// in the order of their names; a peripheral's battery (scope "Device") is left out.
class SysfsPowerSources final : public PowerSources {
public:
    explicit SysfsPowerSources(std::string root = "/sys/class/power_supply");

    std::vector<PowerSource> powerSources() override;

private:
    std::string m_root;
};

}
