// A real log (tests/logs/data/README.md says whence): its counts, the notes and causes a
// sailor reads, and no sensor error made up from it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "logs/calibration_report.h"
#include "logs/logs.h"
#include "tests/support/sailed_log.h"

namespace {

std::string RealLog(const char* pszName) {
    std::ifstream in(std::string(POLAR_REAL_LOGS) + "/" + pszName, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(RealLog, ACoastalLogsPartlyEmptySentencesAreNoBadLinesAndNothingIsMadeUp) {
    const std::string log = RealLog("plaka-excerpt.nmea");
    ASSERT_GT(log.size(), 200000u);
    LearnOptions options;
    options.bSelfCalibrate = true;
    const LearnedLog learned = LearnFromLog(log, options);
    const LogCounts& c = learned.counts;
    EXPECT_EQ(c.nLines, 9456u);
    // MWD without directions, empty HDT and HDM: without values, not bad.
    EXPECT_EQ(c.nBadLines, 0u);
    EXPECT_EQ(c.nEmptySentences, 4u * 591u);
    EXPECT_EQ(c.sentences.at("VWT"), 591u);
    // Its true wind comes as VWT first and as MWV T between: VWT's are the samples, MWV's
    // noted as passed over.
    EXPECT_EQ(c.nTrueWindSamples, 591u);
    EXPECT_EQ(c.nSecondTrueWind, 295u);
    EXPECT_FALSE(c.bSpeedOverGround);
    const std::string text = LogCountsText(c);
    EXPECT_NE(text.find("second sentence type passed over"), std::string::npos) << text;
    EXPECT_EQ(text.find("no speed through the water"), std::string::npos) << text;
    // Few points, and the cause said; neither sensor error known, nor applied.
    EXPECT_FALSE(MainCause(c, learned.stages, options).empty());
    EXPECT_FALSE(learned.estimates.angleOffset.bApply);
    EXPECT_FALSE(learned.estimates.speedFactor.bApply);
    const std::string calibration = CalibrationText(learned.estimates, c, true);
    EXPECT_NE(calibration.find("wind angle offset: unknown"), std::string::npos) << calibration;
    EXPECT_NE(calibration.find("boat speed factor: unknown"), std::string::npos) << calibration;
}

}  // namespace
