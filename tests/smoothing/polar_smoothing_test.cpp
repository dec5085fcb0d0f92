#include "smoothing/polar_smoothing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "data/invalid_argument.h"
#include "tests/support/polar_builders.h"

namespace {

std::vector<float> Range(int from, int to, int step) {
    std::vector<float> a;
    for (int v = from; v <= to; v += step) {
        a.push_back(static_cast<float>(v));
    }
    return a;
}

class PolarSmoothing : public testing::Test {
  protected:
    void TearDown() override { g_aSmoothBackup.clear(); }
    SAILPLAN m_plan{"Main"};
};

TEST_F(PolarSmoothing, TwoPointsAreLeftAlone) {
    AddPolar(m_plan, 6, 45, {{40, 4}, {90, 5}});
    EXPECT_EQ(m_plan.SmoothPolar(0), 0);
    EXPECT_EQ(PointAngles(*m_plan.m_aPolars[0]), (std::vector<float>{40, 90}));
    EXPECT_TRUE(g_aSmoothBackup.empty());
    m_plan.EndSmooth(0, true);  // "No" with nothing set aside keeps the polar
    EXPECT_EQ(m_plan.m_aPolars[0]->GetVectorCount(), 2);
}

TEST_F(PolarSmoothing, ThreePointsGiveAStraightLine) {
    PERF_POLAR& polar = AddPolar(m_plan, 6, 45, {{40, 3.8f}, {90, 4.8f}, {150, 6.0f}});
    EXPECT_EQ(m_plan.SmoothPolar(0), 1);
    EXPECT_EQ(PointAngles(polar), Range(40, 150, 10));
    for (const auto& p : polar.m_aVectors) {
        EXPECT_NEAR(p->m_fSpeed, 3.0 + 0.02 * p->m_fAngle, 1e-5);
    }
    EXPECT_EQ(g_aSmoothBackup.size(), 3u);
}

TEST_F(PolarSmoothing, SevenPointsOrMoreUseAQuintic) {
    EXPECT_EQ(SmoothingDegree(3), 1);
    EXPECT_EQ(SmoothingDegree(6), 4);
    EXPECT_EQ(SmoothingDegree(7), 5);
    EXPECT_EQ(SmoothingDegree(150), 5);
    auto quintic = [](double a) {
        return 2.5 + 0.2 * a - 0.004 * a * a + 3.0e-5 * a * a * a - 1.0e-7 * std::pow(a, 4) +
               1.3e-10 * std::pow(a, 5);
    };
    PERF_POLAR& polar = AddPolar(m_plan, 6, 45, {});
    for (int a = 30; a <= 180; a += 25) {  // 7 points
        polar.InsertVector(polar.GetVectorCount(), static_cast<float>(a),
                           static_cast<float>(quintic(a)));
    }
    m_plan.SmoothPolar(0);
    ASSERT_EQ(PointAngles(polar), Range(30, 180, 10));
    for (const auto& p : polar.m_aVectors) {
        EXPECT_NEAR(p->m_fSpeed, quintic(p->m_fAngle), 1e-4);
    }
}

TEST_F(PolarSmoothing, DocumentedSampleGrids) {
    std::vector<int> twelve;
    for (int a = 40; a <= 150; a += 10) {
        twelve.push_back(a);
    }
    EXPECT_EQ(SmoothingSamples(40, 150), twelve);
    EXPECT_EQ(twelve.size(), 12u);
    std::vector<int> thirteen = {32};
    for (int a = 35; a <= 90; a += 5) {
        thirteen.push_back(a);
    }
    EXPECT_EQ(SmoothingSamples(32.5f, 90), thirteen);
    EXPECT_EQ(thirteen.size(), 13u);
}

TEST_F(PolarSmoothing, RangeEndsAndStepSizes) {
    EXPECT_EQ(SmoothingSamples(40, 175).back(), 180);
    EXPECT_EQ(SmoothingSamples(40, 180).back(), 180);
    EXPECT_EQ(SmoothingSamples(40, 100)[1], 45);  // span 60: every 5 degrees
    EXPECT_EQ(SmoothingSamples(40, 110)[1], 50);  // span 70: every 10 degrees
    // A first angle 5 or more above lo: grid points not above it are skipped.
    EXPECT_EQ(SmoothingSamples(37, 60), (std::vector<int>{37, 40, 45, 50, 55, 60}));
    // A first point beyond the last: nothing to sample.
    EXPECT_TRUE(SmoothingSamples(150, 40).empty());
    EXPECT_TRUE(SmoothingSamples(NAN, 40).empty());
}

TEST_F(PolarSmoothing, HugeAnglesGiveAnEmptyRangeWithoutOverflow) {
    // First angles beyond any int: once a point at -2147483648 or a hundred million samples.
    EXPECT_TRUE(SmoothingSamples(1e20f, 1e20f).empty());
    EXPECT_TRUE(SmoothingSamples(3e9f, 3e9f).empty());
    EXPECT_TRUE(SmoothingSamples(190.0f, 1e30f).empty());
    EXPECT_TRUE(SmoothingSamples(40.0f, -1e20f).empty());
    EXPECT_EQ(SmoothingSamples(40.0f, 1e20f).back(), 180);

    PERF_POLAR& polar = AddPolar(m_plan, 6, 45, {{1e20f, 4}, {2e20f, 5}, {3e20f, 6}});
    EXPECT_EQ(m_plan.SmoothPolar(0), 1);
    EXPECT_EQ(polar.GetVectorCount(), 0);  // the range is empty: no points
    m_plan.EndSmooth(0, true);
    EXPECT_EQ(polar.GetVectorCount(), 3);
}

TEST_F(PolarSmoothing, SamplesAtOrBelowZeroAreDropped) {
    // The line through these points is below zero under 65 degrees.
    PERF_POLAR& polar = AddPolar(m_plan, 6, 45, {{40, -1.0f}, {90, 1.0f}, {140, 3.0f}});
    m_plan.SmoothPolar(0);
    EXPECT_EQ(PointAngles(polar), Range(70, 140, 10));
}

TEST_F(PolarSmoothing, AFailedFitLeavesThePolarAndSetsNothingAside) {
    PERF_POLAR& polar = AddPolar(m_plan, 6, 45, {{90, 4}, {90, 5}, {90, 6}});
    EXPECT_EQ(m_plan.SmoothPolar(0), 1);
    EXPECT_EQ(PointAngles(polar), (std::vector<float>{90, 90, 90}));
    EXPECT_TRUE(g_aSmoothBackup.empty());
}

TEST_F(PolarSmoothing, NoPutsTheMeasuredPointsBackYesKeepsTheResult) {
    PERF_POLAR& polar =
        AddPolar(m_plan, 6, 45, {{40, 4.1f}, {60, 5.0f}, {90, 5.4f}, {120, 5.1f}, {150, 4.3f}});
    m_plan.SmoothPolar(0);
    EXPECT_EQ(polar.GetVectorCount(), 12);
    m_plan.EndSmooth(0, true);
    ASSERT_EQ(PointAngles(polar), (std::vector<float>{40, 60, 90, 120, 150}));
    EXPECT_EQ(polar.m_aVectors[2]->m_fSpeed, 5.4f);
    EXPECT_TRUE(g_aSmoothBackup.empty());

    m_plan.SmoothPolar(0);
    m_plan.EndSmooth(0, false);
    EXPECT_EQ(polar.GetVectorCount(), 12);
    EXPECT_TRUE(g_aSmoothBackup.empty());
}

TEST_F(PolarSmoothing, LargePolarsAreSmoothedWithoutALimit) {
    PERF_POLAR& polar = AddPolar(m_plan, 6, 45, {});
    for (int i = 0; i < 150; ++i) {
        const float a = 30.0f + static_cast<float>(i);
        polar.InsertVector(i, a, 5.0f + 0.01f * a);
    }
    m_plan.SmoothPolar(0);
    EXPECT_EQ(PointAngles(polar), Range(30, 180, 10));
    EXPECT_EQ(g_aSmoothBackup.size(), 150u);
}

TEST_F(PolarSmoothing, BadPolarIndexThrows) {
    EXPECT_THROW(m_plan.SmoothPolar(0), InvalidArgumentException);
    EXPECT_THROW(m_plan.EndSmooth(0, true), InvalidArgumentException);
}

}  // namespace
