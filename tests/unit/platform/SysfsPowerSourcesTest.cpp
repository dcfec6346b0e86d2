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
    // Each supply's type, scope and capacity files; an empty text is a file that is missing.
    const std::string supplies[][4] = {
        { "AAA_mouse", "Battery\n", "Device\n", "30\n" },
        { "BAT1", "Battery\n", "", "57\n" },
        { "AC", "Mains\n", "", "" },
        { "BAT0", "Battery\n", "System\n", "100\n" },
        { "ups", " UPS\n", "", "12" },
        { "hidpp_battery_0", " Battery \n", " Device \n", "80\n" },
        { "keyboard_ups", "UPS\n", "Device\n", "" },
        { "odd_scope", "Battery\n", "Unknown\n", "44\n" },
        { "ucsi-source-psy-USBC000:001", "USB\n", "", "" },
        { "nocapacity", "Battery\n", "", "" },
        { "notype", "", "", "88\n" },
    };
    for (const auto& [name, type, scope, capacity] : supplies) {
        for (const auto& [file, content] :
             { std::pair { "/type", type }, { "/scope", scope }, { "/capacity", capacity } }) {
            if (!content.empty())
                root.write(name + file, content);
        }
    }

    EXPECT_EQ(capacities(root.path()), (std::vector<std::optional<long>> { 100, 57, std::nullopt, 44, 12 }));
    EXPECT_TRUE(capacities(TemporaryFolder().path()).empty());
    EXPECT_TRUE(capacities("/nonexistent/power_supply").empty());
}

TEST(SysfsPowerSources, CapacityIsAWholeDecimalNumberOrNothing)
{
    const std::pair<std::string, std::optional<long>> cases[] = {
        { "57\n", 57 },
        { "59", 59 },
        { "007\n", 7 },
        { "", std::nullopt },
        { "\n", std::nullopt },
        { "57.5\n", std::nullopt },
        { " 57\n", std::nullopt },
        { "57 \n", std::nullopt },
        { "57\n\n", std::nullopt },
        { "-5\n", std::nullopt },
        { "+5\n", std::nullopt },
        { "99999999999999999999999\n", std::nullopt },
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
