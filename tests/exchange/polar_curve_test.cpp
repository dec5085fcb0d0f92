// The curve as the diagram draws it: best angles, and the speed between wind speeds.
#include "exchange/polar_curve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

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

// Segments that cannot beat the best point are left out of the search: on rough curves, with
// angles beyond 0..180 and negative speeds too, the optima must still be those of a search along
// every segment in steps of a thousandth of a degree.
TEST(Vmg, OptimaOfRoughCurvesMatchAFineSearch) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> speed(-1, 12);
    SAILPLAN plan("x");
    for (int n = 0; n < 40; ++n) {
        std::vector<std::pair<float, float>> points;
        for (float a = n % 4 == 0 ? -10.0f : 0.0f; a <= 190; a += 5 + static_cast<float>(n % 7)) {
            points.emplace_back(a, speed(random));
        }
        PERF_POLAR& polar = AddPolar(plan, static_cast<float>(n + 1), 0, {});
        for (const auto& [fAngle, fSpeed] : points) {
            polar.InsertVector(polar.GetVectorCount(), fAngle, fSpeed);
        }
        const BestVmg found = *FindBestVmg(polar);
        double dUp = -1e9;
        double dDown = -1e9;
        for (std::size_t i = 1; i < points.size(); ++i) {
            const auto [a0, s0] = points[i - 1];
            const auto [a1, s1] = points[i];
            for (int k = 0; k <= 1000; ++k) {
                const double a = a0 + (a1 - a0) * (k / 1000.0);
                const double s = s0 + (s1 - s0) * (a - a0) / (a1 - a0);
                dUp = std::max(dUp, s * std::cos(a * kRadiansPerDegree));
                dDown = std::max(dDown, -s * std::cos(a * kRadiansPerDegree));
            }
        }
        EXPECT_NEAR(found.fUpwindVmg, dUp, 1e-4) << n;
        EXPECT_NEAR(found.fDownwindVmg, dDown, 1e-4) << n;
    }
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
