// The sensors' errors estimated on logs of a second generator (RaceLog), across a sweep of
// wind angle offsets, boat speed factors and currents, with angle noise and the tacks sailed
// 70/30: whatever is applied is within 1 degree (1 %) of the truth, nothing is applied where
// there is no error, and the polar is then unchanged.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "logs/logs.h"
#include "tests/support/race_log.h"
#include "tests/support/sailed_log.h"

namespace {

LearnOptions SelfCalibrating(bool bSelf) {
    LearnOptions options;
    options.fPercentile = 50;
    options.bSelfCalibrate = bSelf;
    return options;
}

TEST(OffsetSweep, AppliedErrorsAreTheTrueOnesAndNoErrorIsNeverInvented) {
    const SAILPLAN polar = RacePolar();
    int nCases = 0;
    int nOffsetsToFind = 0;
    int nOffsetsApplied = 0;
    int nFactorsToFind = 0;
    int nFactorsApplied = 0;
    std::cout << "offset factor current | angle offset (interval, tack pairs, applied) | "
                 "speed factor (interval, applied)\n";
    unsigned nSeed = 100;
    for (const double dOffset : {-6.0, -3.0, 0.0, 2.0, 6.0}) {
        for (const double dFactor : {0.93, 1.00, 1.05, 1.10}) {
            for (const double dCurrent : {0.0, 0.8}) {
                RaceShape shape;
                shape.nSeed = ++nSeed;
                // POLAR_SWEEP_HOURS sails longer days, to see how many offsets more data makes
                // sure.
                shape.dHours = std::getenv("POLAR_SWEEP_HOURS") != nullptr
                                   ? std::atof(std::getenv("POLAR_SWEEP_HOURS"))
                                   : 6;
                shape.dAngleOffset = dOffset;
                shape.dSpeedFactor = dFactor;
                shape.dCurrent = dCurrent;
                const std::string log = RaceLog(polar, shape);
                const LearnedLog learned = LearnFromLog(log, SelfCalibrating(true));
                const SensorEstimate& a = learned.estimates.angleOffset;
                const SensorEstimate& f = learned.estimates.speedFactor;
                char sz[200];
                std::snprintf(sz, sizeof sz,
                              "%+5.1f %5.2f %4.1f | %+6.2f (%+6.2f to %+6.2f, %3d, %s) | %6.4f "
                              "(%6.4f to %6.4f, %s)\n",
                              dOffset, dFactor, dCurrent, a.value.value_or(99), a.dLow, a.dHigh,
                              static_cast<int>(a.nSupport), a.bApply ? "applied" : "not applied",
                              f.value.value_or(99), f.dLow, f.dHigh,
                              f.bApply ? "applied" : "not applied");
                std::cout << sz;
                ++nCases;
                const std::string strCase = sz;
                if (a.bApply) {
                    EXPECT_NEAR(*a.value, dOffset, 1.0) << strCase;
                }
                if (f.bApply) {
                    EXPECT_NEAR(*f.value, dFactor, 0.01 * dFactor) << strCase;
                }
                EXPECT_FALSE(dOffset == 0 && a.bApply) << strCase;
                EXPECT_FALSE(dFactor == 1 && f.bApply) << strCase;
                nOffsetsToFind += dOffset != 0 ? 1 : 0;
                nOffsetsApplied += dOffset != 0 && a.bApply ? 1 : 0;
                nFactorsToFind += dFactor != 1 ? 1 : 0;
                nFactorsApplied += dFactor != 1 && f.bApply ? 1 : 0;
                if (dOffset == 0 && dFactor == 1) {
                    // Nothing applied: the self-calibrating polar is the plain one.
                    const LearnedLog plain = LearnFromLog(log, SelfCalibrating(false));
                    ASSERT_EQ(plain.pPlan->m_aPolars.size(), learned.pPlan->m_aPolars.size());
                    for (std::size_t p = 0; p < plain.pPlan->m_aPolars.size(); ++p) {
                        const auto& v = plain.pPlan->m_aPolars[p]->m_aVectors;
                        const auto& w = learned.pPlan->m_aPolars[p]->m_aVectors;
                        ASSERT_EQ(v.size(), w.size());
                        for (std::size_t i = 0; i < v.size(); ++i) {
                            EXPECT_EQ(v[i]->m_fAngle, w[i]->m_fAngle);
                            EXPECT_EQ(v[i]->m_fSpeed, w[i]->m_fSpeed);
                        }
                    }
                }
            }
        }
    }
    std::cout << nOffsetsApplied << " of " << nOffsetsToFind << " offsets and " << nFactorsApplied
              << " of " << nFactorsToFind << " factors applied in " << nCases << " logs\n";
    // The factor, which the speed over ground shows on every heading, is found wherever it is
    // there. The offset rests only on what both tacks sailed alike: on a few hours sailed 70/30
    // it is mostly not sure enough to apply (the interval says so), and never applied wrong.
    EXPECT_EQ(nFactorsApplied, nFactorsToFind);
}

}  // namespace
