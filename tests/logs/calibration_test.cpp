// Sensor errors estimated from the sailing, and the polar learned without them.
#include "logs/calibration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "exchange/polar_curve.h"
#include "logs/calibration_report.h"
#include "logs/logs.h"
#include "tests/support/sailed_log.h"

namespace {

// The median difference (kn) of the learned points from the known polar.
double MedianError(const SAILPLAN& learned, const SAILPLAN& known) {
    std::vector<double> errors;
    for (const auto& pPolar : learned.m_aPolars) {
        for (const auto& pKnown : known.m_aPolars) {
            if (pKnown->m_fWindSpeed != pPolar->m_fWindSpeed) {
                continue;
            }
            for (const auto& pVector : pPolar->m_aVectors) {
                if (const auto speed = SpeedOnCurve(*pKnown, pVector->m_fAngle)) {
                    errors.push_back(std::fabs(pVector->m_fSpeed - *speed));
                }
            }
        }
    }
    std::sort(errors.begin(), errors.end());
    return errors.empty() ? 1e9 : errors[errors.size() / 2];
}

LearnedLog Learn(const std::string& log, const Calibration& calibration) {
    LearnOptions options;
    options.fPercentile = 50;
    options.calibration = calibration;
    return LearnFromLog(log, options);
}

TEST(Calibration, AngleOffsetAndPaddleWheelErrorAreRecoveredAndTheirCorrectionHelps) {
    LogShape shape;
    shape.nSeed = 8;
    shape.nLegs = 600;
    shape.nLegSeconds = 120;
    shape.bBothTacks = true;
    shape.bGround = true;
    shape.dCurrent = 0.8;  // setting east: cancels only between opposite headings
    shape.dAngleOffset = 4;
    shape.dSpeedFactor = 1.07;
    shape.dAngleNoise = 3;
    const std::string log = GeneratedLog(KnownPolar(), shape);
    const LearnedLog raw = Learn(log, {});
    ASSERT_TRUE(raw.angleOffset && raw.speedFactor);
    EXPECT_NEAR(*raw.angleOffset, 4.0, 1.0);
    EXPECT_NEAR(*raw.speedFactor, 1.07, 0.0107);
    const LearnedLog calibrated = Learn(log, {*raw.angleOffset, *raw.speedFactor});
    const double dRawError = MedianError(*raw.pPlan, KnownPolar());
    const double dCalibratedError = MedianError(*calibrated.pPlan, KnownPolar());
    EXPECT_LT(dCalibratedError, dRawError / 4) << dRawError;
    EXPECT_LT(dCalibratedError, 0.05);
    // Self-calibrating, one reading does as well as a reading with the estimate from another.
    LearnOptions self;
    self.fPercentile = 50;
    self.bSelfCalibrate = true;
    const LearnedLog once = LearnFromLog(log, self);
    EXPECT_LT(MedianError(*once.pPlan, KnownPolar()), 0.05);
    // Both tacks sailed alike at every angle for 20 hours: sure enough to apply.
    EXPECT_TRUE(once.estimates.angleOffset.bApply);
    EXPECT_TRUE(once.estimates.speedFactor.bApply);
    // Calibrated, the sailing shows no error left.
    EXPECT_NEAR(*calibrated.angleOffset, 0.0, 0.5);
    EXPECT_NEAR(*calibrated.speedFactor, 1.0, 0.005);

    // Without speed over ground, or with each angle on one tack only, nothing is made up.
    shape.bGround = false;
    shape.bBothTacks = false;
    const LearnedLog unknown = Learn(GeneratedLog(KnownPolar(), shape), {});
    EXPECT_FALSE(unknown.speedFactor.has_value());
}

TEST(Calibration, ACorrectedSampleTurnsAgainstTheOffsetOnEitherTack) {
    const LogSample starboard{0, 10, 44, 7.0f, false};
    const LogSample port{0, 10, 36, 7.0f, true};  // 324 from the bow
    const Calibration calibration{4, 1.25};
    EXPECT_FLOAT_EQ(Calibrated(starboard, calibration).fWindAngle, 40.0f);
    EXPECT_FLOAT_EQ(Calibrated(port, calibration).fWindAngle, 40.0f);
    EXPECT_FLOAT_EQ(Calibrated(port, calibration).fBoatSpeed, 5.6f);
    // Through the bow and the stern the side changes.
    const LogSample ahead{0, 10, 2, 1.0f, false};
    EXPECT_TRUE(Calibrated(ahead, calibration).bPort);
    EXPECT_FLOAT_EQ(Calibrated(ahead, calibration).fWindAngle, 2.0f);
}

TEST(Calibration, WhatIsNotSureIsSaidAsNotAppliedWithItsIntervalAndWhy) {
    SensorEstimates estimates;
    LogCounts counts;
    // Wide: not applied, with the interval's half width and the tack pairs.
    estimates.angleOffset = {-4.0, -7.5, -0.5, true, 14, false, false};
    EXPECT_NE(CalibrationText(estimates, counts, true)
                  .find("wind angle offset: not applied (±3.5°, 14 tack pairs)"),
              std::string::npos);
    // At the search's limit: not applied whatever its interval.
    estimates.angleOffset = {-15.0, -15.2, -14.8, true, 30, true, false};
    EXPECT_NE(CalibrationText(estimates, counts, true).find("reached its limit"),
              std::string::npos);
    EXPECT_EQ(CalibrationJson(estimates, true).find("\"applied\": true"), std::string::npos);
    // Sure and asked for: applied, in the text and the report.
    estimates.angleOffset = {3.2, 2.6, 3.8, true, 40, false, true};
    EXPECT_NE(CalibrationText(estimates, counts, true).find("3.2° (±0.6°, 40 tack pairs); applied"),
              std::string::npos);
    EXPECT_NE(CalibrationJson(estimates, true).find("\"sure\": true, \"applied\": true}"),
              std::string::npos);
    EXPECT_EQ(Calibration(estimates.Applied()).dAngleOffset, 3.2);
    // No factor: a magnetic heading without variation is said to be why.
    counts.nMagneticHeadingReadings = 100;
    EXPECT_NE(CalibrationText(estimates, counts, true).find("the heading is magnetic"),
              std::string::npos);
}

}  // namespace
