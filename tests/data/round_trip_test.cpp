#include <gtest/gtest.h>

#include <random>

#include "data/polar_file.h"

namespace {

// Random sail plans: names of printable bytes without commas (and sometimes UTF-8), wind
// speeds, tacking angles, angles and speeds of every size a float text can hold.
SailPlanArray RandomSailPlans(std::mt19937& rng) {
    std::uniform_int_distribution<int> count(1, 6);
    std::uniform_int_distribution<int> points(0, 40);
    std::uniform_real_distribution<float> angle(0.0f, 180.0f);
    std::uniform_real_distribution<float> speed(-5.0f, 60.0f);
    std::uniform_real_distribution<float> wide(-1e6f, 1e6f);
    std::uniform_int_distribution<int> letter(32, 126);
    SailPlanArray plans;
    const int nPlans = count(rng);
    for (int s = 0; s < nPlans; ++s) {
        std::string strName;
        const int nLen = count(rng) * 3;
        for (int i = 0; i < nLen; ++i) {
            char c = static_cast<char>(letter(rng));
            strName.push_back(c == ',' ? '_' : c);
        }
        if (s % 2 == 1) {
            strName += "\xC3\xB8";  // ø
        }
        auto plan = std::make_unique<SAILPLAN>(strName);
        const int nPolars = count(rng);
        for (int p = 0; p < nPolars; ++p) {
            plan->InsertPolar(p, speed(rng), p % 3 == 0 ? wide(rng) : angle(rng));
            PERF_POLAR& polar = *plan->m_aPolars.back();
            const int nPoints = points(rng);
            for (int i = 0; i < nPoints; ++i) {
                polar.InsertVector(i, angle(rng), i % 7 == 0 ? wide(rng) : speed(rng));
            }
        }
        plans.push_back(std::move(plan));
    }
    return plans;
}

TEST(PolarFileRoundTrip, WriteReadWriteGivesTheSameBytes) {
    std::mt19937 rng(2026);
    for (int round = 0; round < 300; ++round) {
        const SailPlanArray plans = RandomSailPlans(rng);
        const std::string first = FormatPolarFile(plans);
        const PolarFileContents contents = ParsePolarFile(first);
        ASSERT_FALSE(contents.stop) << contents.stop->strMessage << "\n" << first;
        ASSERT_EQ(contents.aSailPlans.size(), plans.size());
        for (std::size_t i = 0; i < plans.size(); ++i) {
            // Leading blanks of a name survive; nothing else is lost for these names.
            EXPECT_EQ(contents.aSailPlans[i]->m_strName, plans[i]->m_strName);
            EXPECT_EQ(contents.aSailPlans[i]->GetPolarCount(), plans[i]->GetPolarCount());
        }
        ASSERT_EQ(FormatPolarFile(contents.aSailPlans), first);
    }
}

TEST(PolarFileRoundTrip, ValuesComeBackToTheNearestHundredth) {
    SailPlanArray plans;
    plans.push_back(std::make_unique<SAILPLAN>("Main"));
    plans[0]->InsertPolar(0, 7.777f, 41.234f);
    plans[0]->InsertVector(0, 0, 52.345f, 5.456f);
    const PolarFileContents contents = ParsePolarFile(FormatPolarFile(plans));
    const PERF_POLAR& polar = *contents.aSailPlans[0]->m_aPolars[0];
    EXPECT_EQ(polar.m_fWindSpeed, 7.78f);
    EXPECT_EQ(polar.m_fTackingAngle, 41.23f);
    EXPECT_EQ(polar.m_aVectors[0]->m_fAngle, 52.35f);  // 52.345f lies just above the tie
    EXPECT_EQ(polar.m_aVectors[0]->m_fSpeed, 5.46f);
}

}  // namespace
