// The crossover grid and the facts the tree lists, on sail plans whose answers are known.
#include "apps/polar-editor/crossover.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>

#include "apps/polar-editor/crossover_chart.h"
#include "apps/polar-editor/sail_plan_facts.h"
#include "apps/polar-editor/viewed_file.h"
#include "exchange/polar_curve.h"

namespace {

std::unique_ptr<SAILPLAN> Plan(
    const char* pszName,
    std::vector<std::pair<float, std::vector<std::pair<float, float>>>> polars) {
    auto pPlan = std::make_unique<SAILPLAN>(pszName);
    for (const auto& [fWind, points] : polars) {
        pPlan->InsertPolar(pPlan->GetPolarCount(), fWind, 40);
        for (const auto& [fAngle, fSpeed] : points) {
            pPlan->InsertVector(pPlan->GetPolarCount() - 1,
                                pPlan->m_aPolars.back()->GetVectorCount(), fAngle, fSpeed);
        }
    }
    return pPlan;
}

TEST(Crossover, EachCellNamesTheFastestSailPlanWhereAnySails) {
    SailPlanArray plans;
    // Upwind sails: fast close to the wind, slow off it; the downwind sail the other way.
    plans.push_back(
        Plan("Genoa", {{6, {{30, 4}, {90, 5}, {150, 3}}}, {12, {{30, 6}, {90, 7}, {150, 5}}}}));
    plans.push_back(Plan(
        "Spinnaker", {{8, {{90, 4}, {150, 6}, {180, 5}}}, {12, {{90, 6}, {150, 8}, {180, 7}}}}));
    const CrossoverGrid grid = ComputeCrossover(plans, 1.0f, 10.0f);
    ASSERT_EQ(grid.nWindSpeeds, 7);  // 6 to 12 knots
    ASSERT_EQ(grid.nAngles, 19);     // 0 to 180 degrees
    EXPECT_EQ(grid.WindSpeed(0), 6.0f);
    EXPECT_EQ(grid.Fastest(0, 0), -1);  // nobody sails at 0 degrees
    EXPECT_EQ(grid.Fastest(0, 4), 0);   // 6 kn, 40 degrees: only the genoa
    EXPECT_EQ(grid.Fastest(0, 15), 0);  // 6 kn, 150: the spinnaker starts at 8 kn
    EXPECT_EQ(grid.Fastest(6, 15), 1);  // 12 kn, 150: 8 against 5 knots
    EXPECT_EQ(grid.Fastest(6, 18), 1);  // 180: beyond the genoa's angles
    // At 90 degrees and 12 knots the genoa's 7 beats the spinnaker's 6; at 10 knots both are
    // between their polars: the genoa's 6.33 against the spinnaker's 5.
    EXPECT_EQ(grid.Fastest(6, 9), 0);
    EXPECT_EQ(grid.Fastest(4, 9), 0);
    // Between 90 and 150 at 12 knots the speeds cross at 105 degrees.
    EXPECT_EQ(grid.Fastest(6, 10), 0);
    EXPECT_EQ(grid.Fastest(6, 11), 1);
}

// The grid reads each curve once per angle; every cell must still be what the speed of each
// sail plan at that wind speed and angle says, on the bundled sample.
TEST(Crossover, EveryCellIsTheFastestBySpeedBetweenWindSpeeds) {
    ViewedFile file = ReadViewedFile(POLAR_SAMPLE_FILE);
    ASSERT_GE(file.aSailPlans.size(), 2u);
    const CrossoverGrid grid = ComputeCrossover(file.aSailPlans, 0.5f, 2.0f);
    ASSERT_GT(grid.nWindSpeeds, 10);
    int nCells = 0;
    for (int w = 0; w < grid.nWindSpeeds; ++w) {
        for (int a = 0; a < grid.nAngles; ++a) {
            float fBest = 0;
            int nBest = -1;
            for (std::size_t s = 0; s < file.aSailPlans.size(); ++s) {
                const auto speed =
                    SpeedBetweenWindSpeeds(*file.aSailPlans[s], grid.WindSpeed(w), grid.Angle(a));
                if (speed && *speed > fBest) {
                    fBest = *speed;
                    nBest = static_cast<int>(s);
                }
            }
            EXPECT_EQ(grid.Fastest(w, a), nBest) << grid.WindSpeed(w) << " kn, " << grid.Angle(a);
            nCells += nBest >= 0 ? 1 : 0;
        }
    }
    EXPECT_GT(nCells, grid.nWindSpeeds * grid.nAngles / 2);
}

TEST(Crossover, NoPolarsNoGrid) {
    SailPlanArray plans;
    plans.push_back(std::make_unique<SAILPLAN>("Empty"));
    const CrossoverGrid grid = ComputeCrossover(plans, 1.0f, 10.0f);
    EXPECT_EQ(grid.nWindSpeeds, 0);
    EXPECT_TRUE(grid.aFastest.empty());
}

// The wind speed labels fit their margin whatever their length: "33.5 kn" was cut to "3.5 kn"
// when the margin was measured for two digits. The label's first dark column lies inside the
// margin's padding, not at the chart's edge.
TEST(CrossoverChartTest, WindSpeedLabelsAreWhole) {
    SailPlanArray plans;
    plans.push_back(Plan("Wide", {{4, {{40, 3}, {150, 4}}}, {33.5f, {{40, 7}, {150, 9}}}}));
    CrossoverChart chart;
    chart.resize(500, 200);
    chart.ShowSailPlans(plans);
    const QImage image = chart.grab().toImage();
    const QColor background = chart.palette().base().color();
    int nFirstDark = image.width();
    for (int y = 0; y < image.height() / 4; ++y) {  // the top wind speed's row
        for (int x = 0; x < image.width() / 4; ++x) {
            if (image.pixelColor(x, y) != background) {
                nFirstDark = std::min(nFirstDark, x);
            }
        }
    }
    EXPECT_GE(nFirstDark, 2);
    EXPECT_LT(nFirstDark, image.width() / 4);  // a label is there
}

TEST(SailPlanFacts, BestBeatAndRunPerPolarNoneWithoutPoints) {
    auto pPlan = Plan("Main", {{6, {{40, 4}, {90, 6}, {170, 4}}}, {10, {}}});
    const std::vector<PolarFacts> facts = FactsOfSailPlan(*pPlan);
    ASSERT_EQ(facts.size(), 2u);
    EXPECT_EQ(facts[0].nPoints, 3);
    EXPECT_EQ(facts[0].fTackingAngle, 40.0f);
    ASSERT_TRUE(facts[0].bestVmg);
    EXPECT_NEAR(facts[0].bestVmg->fUpwindVmg, 4 * std::cos(40 * 3.14159265 / 180), 0.05);
    EXPECT_GT(facts[0].bestVmg->fDownwindAngle, 90.0f);
    EXPECT_FALSE(facts[1].bestVmg);
}

}  // namespace
