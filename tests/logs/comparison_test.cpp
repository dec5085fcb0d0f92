// The logged sailing measured against a sail plan: percentages per bin, and the samples that
// belong to one polar.
#include "logs/comparison.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logs/logs.h"
#include "tests/support/polar_builders.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"

namespace {

// Thirty seconds of steady sailing from dStart: the first ten are not known to be steady yet.
void SailLeg(Comparison& comparison, double dStart, float fWindSpeed, float fAngle,
             float fBoatSpeed) {
    comparison.NewLog();
    for (int t = 0; t < 30; ++t) {
        comparison.Add({dStart + t, fWindSpeed, fAngle, fBoatSpeed});
    }
}

TEST(Comparison, PercentOfTheSpeedBetweenWindSpeedsPerBinForSteadySailingOnly) {
    SAILPLAN plan("Main");
    AddPolar(plan, 6, 45, {{40, 4}, {90, 6}, {150, 5}});
    AddPolar(plan, 10, 40, {{40, 6}, {90, 8}, {150, 7}});
    Comparison comparison(plan, LearnOptions{});
    SailLeg(comparison, 0, 8, 90, 6.3f);     // the sail plan's 7 kn there: 90 %
    SailLeg(comparison, 100, 6, 40, 4.0f);   // on the polar: 100 %
    SailLeg(comparison, 200, 12, 90, 8.0f);  // beyond the sail plan's wind speeds
    SailLeg(comparison, 300, 6, 170, 4.0f);  // beyond the polar's angles
    // Each leg's last 21 seconds are steady; the first two legs count.
    EXPECT_EQ(comparison.Samples(), 42u);
    const std::vector<ComparisonBin> bins = comparison.PerBin();
    ASSERT_EQ(bins.size(), 2u);
    EXPECT_EQ(bins[0].fWindSpeed, 6.0f);
    EXPECT_EQ(bins[0].fAngle, 40.0f);
    EXPECT_EQ(bins[0].nSamples, 21u);
    EXPECT_NEAR(bins[0].dMedianPercent, 100.0, 0.05);
    EXPECT_EQ(bins[1].fWindSpeed, 8.0f);
    EXPECT_EQ(bins[1].fAngle, 90.0f);
    EXPECT_NEAR(bins[1].dMedianPercent, 90.0, 0.05);
    EXPECT_NEAR(bins[1].dPercentile10, 90.0, 0.05);
    EXPECT_NEAR(bins[1].dPercentile90, 90.0, 0.05);
    EXPECT_NEAR(comparison.MedianPercent(), 90.0, 0.05);
}

TEST(PolarSamples, EveryKeptSampleBelongsToTheNearestPolarOnly) {
    TempDir dir;
    const SAILPLAN known = KnownPolar();
    const std::string text = GeneratedLog(known, 9, 0.01);
    TempDir::Write(dir.File("log.nmea"), text);
    std::size_t nKept = 0;
    LearnOptions every;
    every.windSpeeds.clear();
    SampleStages stages(every, [&](const LogSample&, int) { ++nKept; });
    LogCounts counts;
    ReadLogText(text, counts, [&](const LogSample& s) { stages.Add(s); });
    stages.Finish();

    std::size_t nAll = 0;
    for (std::size_t nPolar = 0; nPolar < known.m_aPolars.size(); ++nPolar) {
        const float fOwn = known.m_aPolars[nPolar]->m_fWindSpeed;
        std::size_t nOwn = 0;
        std::string strError;
        ASSERT_TRUE(ReadSamplesOfPolar(
            {dir.File("log.nmea")}, known, nPolar,
            [&](const LogSample& s) {
                for (const auto& pOther : known.m_aPolars) {
                    EXPECT_LE(std::fabs(s.fWindSpeed - fOwn),
                              std::fabs(s.fWindSpeed - pOther->m_fWindSpeed));
                }
                ++nOwn;
            },
            strError));
        EXPECT_GT(nOwn, 100u) << fOwn << " kn";
        nAll += nOwn;
    }
    EXPECT_EQ(nAll, nKept);

    std::string strError;
    EXPECT_FALSE(ReadSamplesOfPolar(
        {dir.File("missing.nmea")}, known, 0, [](const LogSample&) {}, strError));
    EXPECT_NE(strError.find("missing.nmea"), std::string::npos);
}

}  // namespace
