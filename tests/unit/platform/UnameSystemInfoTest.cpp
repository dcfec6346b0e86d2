#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>

#include "platform/linux/UnameSystemInfo.h"

namespace tessaro {
namespace {

TEST(UnameSystemInfo, KernelReleaseTable)
{
    constexpr long largest = std::numeric_limits<long>::max();
    const std::tuple<std::string, long, long, long> cases[] = {
        { "6.1.0-18-amd64", 6, 1, 0 },
        { "6.8", 6, 8, 0 },
        { "6.10.3+rpt", 6, 10, 3 },
        { "4", 4, 0, 0 },
        { "6.1.0.7", 6, 1, 0 },
        { "6.", 6, 0, 0 },
        { "6..1", 6, 0, 0 },
        { "", 0, 0, 0 },
        { ".6.1", 0, 0, 0 },
        { "99999999999999999999999.2.3", largest, 2, 3 },
        { "9223372036854775806.1", largest - 1, 1, 0 },
        { "6.99999999999999999999999", 6, largest, 0 },
    };
    for (const auto& [release, major, minor, patch] : cases) {
        const OperatingSystemVersion version = parseKernelRelease(release);
        EXPECT_EQ(version.majorVersion, major) << release;
        EXPECT_EQ(version.minorVersion, minor) << release;
        EXPECT_EQ(version.patchVersion, patch) << release;
    }
}

TEST(UnameSystemInfo, ThisMachinesKernelHasAVersion)
{
    EXPECT_GE(UnameSystemInfo("1.0").operatingSystemVersion().majorVersion, 3);
}

}
}
