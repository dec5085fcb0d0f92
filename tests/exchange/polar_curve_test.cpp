// The curve as the diagram draws it: best angles, and the speed between wind speeds.
#include "exchange/polar_curve.h"

#include <gtest/gtest.h>

#include <cmath>

#include "data/angle_units.h"
#include "tests/support/polar_builders.h"

namespace {

TEST(Vmg, KnownOptima) {
    SAILPLAN plan("x");
    const PERF_POLAR& constant = AddPolar(plan, 10, 0, {{0, 5}, {90, 5}, {180, 5}});
    const BestVmg c = *FindBestVmg(constant);
    EXPECT_EQ(c.fUpwindAngle, 0.0f);
    EXPECT_NEAR(c.fUpwindVmg, 5, 1e-5);
    EXPECT_EQ(c.fDownwindAngle, 180.0f);
    // Speed a/9 from (0, 0) to (90, 10): VMG a cos a / 9 is largest where a tan a = 1, at
    // 0.8603 rad = 49.29 degrees.
    const PERF_POLAR& ramp = AddPolar(plan, 12, 0, {{0, 0}, {90, 10}});
    const BestVmg r = *FindBestVmg(ramp);
    EXPECT_NEAR(r.fUpwindAngle, 49.29, 0.1);
    EXPECT_NEAR(r.fUpwindVmg, 49.29 / 9.0 * std::cos(49.29 * kRadiansPerDegree), 0.01);
    EXPECT_NEAR(r.fDownwindVmg, 0, 1e-5);  // nothing downwind of the beam on 0..90
    EXPECT_FALSE(FindBestVmg(AddPolar(plan, 14, 0, {})));
}

TEST(SpeedBetweenWindSpeeds, LinearBetweenTheEnclosingPolarsAndNothingOutside) {
    SAILPLAN plan("x");
    AddPolar(plan, 6, 45, {{40, 4}, {90, 6}});
    AddPolar(plan, 10, 40, {{40, 6}, {90, 8}, {150, 7}});
    AddPolar(plan, 14, 40, {{60, 7}, {90, 9}});
    // Halfway in wind speed and in angle between the points: (5 + 7) / 2.
    EXPECT_FLOAT_EQ(*SpeedBetweenWindSpeeds(plan, 8, 65), 6.0f);
    // A quarter of the way from 10 to 14 kn at 90 degrees.
    EXPECT_FLOAT_EQ(*SpeedBetweenWindSpeeds(plan, 11, 90), 8.25f);
    // At a polar's own wind speed its curve alone, though a neighbour lacks the angle.
    EXPECT_FLOAT_EQ(*SpeedBetweenWindSpeeds(plan, 10, 150), 7.0f);
    EXPECT_FLOAT_EQ(*SpeedBetweenWindSpeeds(plan, 14, 75), 8.0f);
    // An angle outside a polar that is needed, and wind speeds outside the sail plan's.
    EXPECT_FALSE(SpeedBetweenWindSpeeds(plan, 12, 150));
    EXPECT_FALSE(SpeedBetweenWindSpeeds(plan, 8, 120));
    EXPECT_FALSE(SpeedBetweenWindSpeeds(plan, 5.9f, 60));
    EXPECT_FALSE(SpeedBetweenWindSpeeds(plan, 14.1f, 60));
    EXPECT_FALSE(SpeedBetweenWindSpeeds(SAILPLAN("empty"), 10, 60));
    // A single polar answers at its own wind speed only.
    SAILPLAN single("y");
    AddPolar(single, 8, 45, {{40, 5}, {90, 6}});
    EXPECT_FLOAT_EQ(*SpeedBetweenWindSpeeds(single, 8, 40), 5.0f);
    EXPECT_FALSE(SpeedBetweenWindSpeeds(single, 8.5f, 40));
}

}  // namespace
