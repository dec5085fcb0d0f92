// Polars learned from instrument logs.
#include "logs/learner.h"

#include <gtest/gtest.h>

#include "exchange/exchange.h"
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
