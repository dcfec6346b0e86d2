#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/SysfsPowerSources.h"
#include "tests/unit/platform/TemporaryFolder.h"

namespace tessaro {
namespace {

std::vector<std::optional<long>> capacities(const std::string& root)
{
    std::vector<std::optional<long>> values;
    for (const PowerSource& source : SysfsPowerSources(root).powerSources())
        values.push_back(source.currentCapacity);
    return values;
}

TEST(SysfsPowerSources, SystemBatteriesAndUpsInNameOrder)
{
    TemporaryFolder root;
    root.write("AAA_mouse/type", "Battery\n");
    root.write("AAA_mouse/scope", "Device\n");
    root.write("AAA_mouse/capacity", "30\n");
    root.write("BAT1/type", "Battery\n");
    root.write("BAT1/capacity", "57\n");
    root.write("AC/type", "Mains\n");
    root.write("AC/online", "1\n");
    root.write("BAT0/type", "Battery\n");
    root.write("BAT0/scope", "System\n");
    root.write("BAT0/capacity", "100\n");
    root.write("ups/type", " UPS\n");
    root.write("ups/capacity", "12");
    root.write("hidpp_battery_0/type", " Battery \n");
    root.write("hidpp_battery_0/scope", " Device \n");
    root.write("hidpp_battery_0/capacity", "80\n");
    root.write("keyboard_ups/type", "UPS\n");
    root.write("keyboard_ups/scope", "Device\n");
    root.write("odd_scope/type", "Battery\n");
    root.write("odd_scope/scope", "Unknown\n");
    root.write("odd_scope/capacity", "44\n");
    root.write("ucsi-source-psy-USBC000:001/type", "USB\n");
    root.write("nocapacity/type", "Battery\n");
    root.write("notype/capacity", "88\n");

    EXPECT_EQ(capacities(root.path()), (std::vector<std::optional<long>> { 100, 57, std::nullopt, 44, 12 }));
    EXPECT_TRUE(capacities(TemporaryFolder().path()).empty());
    EXPECT_TRUE(capacities("/nonexistent/power_supply").empty());
}

TEST(SysfsPowerSources, CapacityIsAWholeDecimalNumberOrNothing)
{
    const std::pair<std::string, std::optional<long>> cases[] = {
        { "57\n", 57 },
        { "57", 57 },
        { "0\n", 0 },
        { "100\n", 100 },
        { "007\n", 7 },
        { "", std::nullopt },
        { "\n", std::nullopt },
        { "57.5\n", std::nullopt },
        { "abc\n", std::nullopt },
        { " 57\n", std::nullopt },
        { "57 \n", std::nullopt },
        { "57\n\n", std::nullopt },
        { "-5\n", std::nullopt },
        { "+5\n", std::nullopt },
        { "99999999999999999999999\n", std::nullopt },
        { "5x\n", std::nullopt },
    };
    for (const auto& [text, expected] : cases) {
        TemporaryFolder root;
        root.write("BAT0/type", "Battery\n");
        root.write("BAT0/capacity", text);
        EXPECT_EQ(capacities(root.path()), std::vector<std::optional<long>> { expected }) << '"' << text << '"';
    }
}

}
}
