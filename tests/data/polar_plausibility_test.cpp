// Values no boat reaches and polars that draw nothing: named, never refused.
#include "data/polar_plausibility.h"

#include <gtest/gtest.h>

#include "tests/support/polar_builders.h"

namespace {

TEST(Plausibility, ValuesNoBoatReachesAreNamedNotRefused) {
    SAILPLAN plan("Main");
    AddPolar(plan, 10, 45, {{52, 6}, {90, 1000}, {120, 9999}});
    AddPolar(plan, 4, 45, {{52, 18}});  // above three times the wind speed plus 5 kn
    AddPolar(plan, 90, 45, {{52, 0}, {90, 0}});
    const std::vector<std::string> found = ImplausibleValues(plan);
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0],
              "wind speed 10.00 kn, angle 90.00: boat speed 1000.00 kn is implausible "
              "(above 60 kn)");
    EXPECT_NE(found[2].find("three times the wind speed plus 5 kn"), std::string::npos);
    EXPECT_EQ(found[3], "wind speed 90.00 kn is implausible (above 80 kn)");
    EXPECT_EQ(found[4], "wind speed 90.00 kn: every boat speed is 0");
    EXPECT_TRUE(PolarsWithoutPoints(plan).empty());
    AddPolar(plan, 12, 40, {});
    EXPECT_EQ(PolarsWithoutPoints(plan),
              std::vector<std::string>{"wind speed 12.00 kn (polar 3) has no points"});
}

}  // namespace
