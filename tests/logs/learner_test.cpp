// Polars learned from instrument logs.
#include "logs/learner.h"

#include <gtest/gtest.h>

#include "exchange/exchange.h"
#include "logs/learn_options.h"
#include "logs/log_reader.h"
#include "tests/support/sailed_log.h"

namespace {

TEST(Learn, RecoversTheSailedPolarAndDropsWhatIsNotSteady) {
    const SAILPLAN known = KnownPolar();
    Learner learner(LearnOptions{});
    LogCounts counts;
    ReadLogText(GeneratedLog(known, 3, 0.02), counts, [&](const LogSample& s) { learner.Add(s); });
    const auto pLearned = learner.Result("Measured");
    ASSERT_EQ(pLearned->m_aPolars.size(), 3u);
    int nChecked = 0;
    for (const auto& pPolar : pLearned->m_aPolars) {
        const PERF_POLAR* pKnown = nullptr;
        for (const auto& p : known.m_aPolars) {
            pKnown = p->m_fWindSpeed == pPolar->m_fWindSpeed ? p.get() : pKnown;
        }
        ASSERT_NE(pKnown, nullptr);
        for (const auto& v : pPolar->m_aVectors) {
            const float fTrue = *SpeedOnCurve(*pKnown, v->m_fAngle);
            EXPECT_NEAR(v->m_fSpeed, fTrue, 0.03f * fTrue)
                << pPolar->m_fWindSpeed << " kn, " << v->m_fAngle << " degrees";
            ++nChecked;
        }
        EXPECT_EQ(pPolar->m_fTackingAngle, FindBestVmg(*pPolar)->fUpwindAngle);
    }
    EXPECT_GT(nChecked, 60);
    // The motoring stretches never make it: no point below 40 degrees.
    for (const auto& pPolar : pLearned->m_aPolars) {
        EXPECT_GE(pPolar->m_aVectors.front()->m_fAngle, 40.0f);
    }
}

}  // namespace

namespace {

TEST(Learn, HeldOutLegsStayOutOfThePointsAndMeasureThePolar) {
    LearnOptions options;
    options.fHoldoutPercent = 25;
    Learner learner(options);
    LogCounts counts;
    ReadLogText(GeneratedLog(KnownPolar(), 4, 0.02), counts,
                [&](const LogSample& s) { learner.Add(s); });
    const auto pLearned = learner.Result("Measured");
    const HoldoutError error = learner.Holdout(*pLearned);
    // The legs between the motoring: a quarter of them held out, their samples not learned.
    EXPECT_NEAR(static_cast<double>(error.nLegs), 100.0, 3.0);
    EXPECT_GT(error.nBins, 15);
    EXPECT_LT(error.dPercentile90, 0.1);
    const std::string report = learner.ReportJson();
    std::uint64_t nInBins = 0;
    for (std::size_t i = report.find("\"count\": "); i != std::string::npos;
         i = report.find("\"count\": ", i + 1)) {
        nInBins += std::stoull(report.substr(i + 9));
    }
    EXPECT_EQ(nInBins + error.nSamples, learner.Counts().nKept);

    // A polar 10 % too fast is about 10 % off on the held-out legs.
    for (auto& pPolar : pLearned->m_aPolars) {
        for (auto& pVector : pPolar->m_aVectors) {
            pVector->m_fSpeed *= 1.1f;
        }
    }
    const HoldoutError wrong = learner.Holdout(*pLearned);
    EXPECT_GT(wrong.dMedian, 0.4);
    EXPECT_LT(wrong.dMedian, 0.8);
}

}  // namespace

namespace {

// The wind speeds of learn and compare, as polarctl's --wind-speeds and the application's
// Learn dialog take them.
TEST(LearnOptions, WindSpeedListsAscendAboveZeroWithNothingBetweenTheCommas) {
    std::vector<float> values;
    ASSERT_TRUE(ParseWindSpeedList("4,6,8", values));
    EXPECT_EQ(values, (std::vector<float>{4, 6, 8}));
    ASSERT_TRUE(ParseWindSpeedList("4.5", values));
    EXPECT_EQ(values, (std::vector<float>{4.5f}));
    for (const char* pszWrong : {"", "6,", ",6", "6,,8", "8,6", "6,6", "0,4", "-2", "a", "6;8"}) {
        values = {1};
        EXPECT_FALSE(ParseWindSpeedList(pszWrong, values)) << pszWrong;
        EXPECT_TRUE(values.empty()) << pszWrong;
    }
}

}  // namespace
