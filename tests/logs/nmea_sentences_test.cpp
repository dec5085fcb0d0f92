// What each sentence type yields: the samples' wind speed, angle, boat speed and time.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "logs/logs.h"

namespace {

// The samples of a log of these sentence bodies, each with its checksum.
std::vector<LogSample> SamplesOf(std::initializer_list<const char*> bodies,
                                 LogCounts* pCounts = nullptr) {
    std::string log;
    for (const char* pszBody : bodies) {
        log += NmeaSentence(pszBody);
        log += "\r\n";
    }
    LogCounts counts;
    std::vector<LogSample> samples;
    ReadLogText(log, counts, [&](const LogSample& s) { samples.push_back(s); });
    if (pCounts != nullptr) {
        *pCounts = counts;
    }
    return samples;
}

void ExpectSample(const LogSample& s, double dWindSpeed, double dAngle, double dBoatSpeed) {
    EXPECT_NEAR(s.fWindSpeed, dWindSpeed, 1e-3);
    EXPECT_NEAR(s.fWindAngle, dAngle, 1e-3);
    EXPECT_NEAR(s.fBoatSpeed, dBoatSpeed, 1e-3);
}

// Apparent wind of a boat at 6 kn in a true wind of 10 kn at 90 degrees.
constexpr double kApparentSpeed = 11.661904;         // hypot(10, 6)
constexpr const char* kApparentAngle = "59.036243";  // atan2(10, 6) in degrees

TEST(NmeaSentences, MwvTrueOrRelativeInEveryUnitWhenValid) {
    LogCounts counts;
    // The boat speed again before each reading: without time in the log, each is a second.
    const auto samples =
        SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIMWV,45.0,T,10.0,N,A", "IIVHW,,T,,M,6.0,N,,K",
                   "IIMWV,300.0,T,5.0,M,A", "IIVHW,,T,,M,6.0,N,,K", "IIMWV,45.0,T,36.0,K,A",
                   "IIMWV,45.0,T,10.0,N,V", "IIMWV,45.0,T,10.0,X,A"},
                  &counts);
    ASSERT_EQ(samples.size(), 3u);
    ExpectSample(samples[0], 10.0, 45.0, 6.0);
    ExpectSample(samples[1], 5.0 * 1.9438444924, 60.0, 6.0);   // m/s; 300 from the bow
    ExpectSample(samples[2], 36.0 * 0.5399568035, 45.0, 6.0);  // km/h
    EXPECT_EQ(counts.nBadLines, 1u);                           // an unknown unit
    EXPECT_EQ(counts.sentences["MWV"], 4u);                    // the invalid one read too

    const std::string relative =
        std::string("IIMWV,") + kApparentAngle + ",R," + std::to_string(kApparentSpeed) + ",N,A";
    const auto apparent = SamplesOf({"IIVHW,,T,,M,6.0,N,,K", relative.c_str()}, &counts);
    ASSERT_EQ(apparent.size(), 1u);
    ExpectSample(apparent[0], 10.0, 90.0, 6.0);
    EXPECT_GT(counts.nComputedWindSamples, 0u);
}

TEST(NmeaSentences, VwtAndVwrAreOffTheBowOnEitherSide) {
    const auto samples =
        SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIVWT,45.0,L,10.0,N,,M,,K", "IIVWT,120.0,R,5.0,M"});
    ASSERT_EQ(samples.size(), 2u);
    ExpectSample(samples[0], 10.0, 45.0, 6.0);
    ExpectSample(samples[1], 5.0 * 1.9438444924, 120.0, 6.0);

    const std::string left =
        std::string("IIVWR,") + kApparentAngle + ",L," + std::to_string(kApparentSpeed) + ",N";
    const auto apparent = SamplesOf({"IIVHW,,T,,M,6.0,N,,K", left.c_str()});
    ASSERT_EQ(apparent.size(), 1u);
    ExpectSample(apparent[0], 10.0, 90.0, 6.0);
}

TEST(NmeaSentences, MwdLessTheTrueHeadingElseTheMagneticOne) {
    // Both directions given and both headings current: the true ones.
    const auto both = SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIHDM,90.0,M", "IIHDT,100.0,T",
                                 "IIMWD,230.0,T,228.0,M,12.0,N,6.2,M"});
    ASSERT_EQ(both.size(), 1u);
    ExpectSample(both[0], 12.0, 130.0, 6.0);
    // Only a magnetic heading: the magnetic direction, though the true one is given.
    const auto magnetic =
        SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIHDM,98.0,M", "IIMWD,230.0,T,228.0,M,12.0,N,6.2,M",
                   "IIMWD,,T,238.0,M,12.0,N,6.2,M"});
    ASSERT_EQ(magnetic.size(), 2u);
    ExpectSample(magnetic[0], 12.0, 130.0, 6.0);
    ExpectSample(magnetic[1], 12.0, 140.0, 6.0);
    // Across north: 10 less 300 is 70 degrees off the bow.
    const auto acrossNorth =
        SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIHDT,300.0,T", "IIMWD,10.0,T,,M,12.0,N,,M"});
    ASSERT_EQ(acrossNorth.size(), 1u);
    ExpectSample(acrossNorth[0], 12.0, 70.0, 6.0);
    // A direction without a current heading of its kind gives no angle: no sample, nothing bad.
    LogCounts counts;
    const auto trueOnly = SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIHDT,100.0,T",
                                     "IIMWD,,T,228.0,M,12.0,N,,M", "IIMWD,230.0,T,,M,12.0,N,,M"},
                                    &counts);
    ASSERT_EQ(trueOnly.size(), 1u);
    ExpectSample(trueOnly[0], 12.0, 130.0, 6.0);
    EXPECT_EQ(counts.nBadLines, 0u);
}

TEST(NmeaSentences, HdgAddsEasterlyAndSubtractsWesterlyDeviationAndVariation) {
    // Compass 98, deviation 1.5 W, variation 3 E: magnetic 96.5, true 99.5.
    const auto westEast =
        SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIHDG,98.0,1.5,W,3.0,E", "IIMWD,229.5,T,,M,12.0,N,,M",
                   "IIHDG,98.0,1.5,W,3.0,E", "IIMWD,,T,226.5,M,12.0,N,,M"});
    ASSERT_EQ(westEast.size(), 2u);
    ExpectSample(westEast[0], 12.0, 130.0, 6.0);  // from the true heading
    ExpectSample(westEast[1], 12.0, 130.0, 6.0);  // from the magnetic heading
    // Compass 98, deviation 2 E, variation 4 W: magnetic 100, true 96.
    const auto eastWest =
        SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIHDG,98.0,2.0,E,4.0,W", "IIMWD,226.0,T,,M,12.0,N,,M",
                   "IIHDG,98.0,2.0,E,4.0,W", "IIMWD,,T,230.0,M,12.0,N,,M"});
    ASSERT_EQ(eastWest.size(), 2u);
    ExpectSample(eastWest[0], 12.0, 130.0, 6.0);
    ExpectSample(eastWest[1], 12.0, 130.0, 6.0);
    // Without a variation there is no true heading; without a deviation the compass is it.
    const auto compassOnly =
        SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIHDG,98.0,,,,", "IIMWD,228.0,T,,M,12.0,N,,M",
                   "IIMWD,,T,228.0,M,12.0,N,,M"});
    ASSERT_EQ(compassOnly.size(), 1u);
    ExpectSample(compassOnly[0], 12.0, 130.0, 6.0);
}

TEST(NmeaSentences, VhwIsTheBoatSpeedAndWinsOverSpeedOverGround) {
    LogCounts counts;
    const auto samples = SamplesOf({"GPRMC,120000.00,A,,,,,7.5,,,,", "IIVHW,,T,,M,6.0,N,20.0,K",
                                    "GPVTG,90.0,T,88.0,M,7.5,N,,K,A", "IIMWV,45.0,T,10.0,N,A"},
                                   &counts);
    ASSERT_EQ(samples.size(), 1u);
    ExpectSample(samples[0], 10.0, 45.0, 6.0);
    EXPECT_FALSE(counts.bSpeedOverGround);
    EXPECT_TRUE(SamplesOf({"IIVHW,,T,,M,-1.0,N,,K", "IIMWV,45.0,T,10.0,N,A"}, &counts).empty());
    EXPECT_EQ(counts.nBadLines, 1u);
}

TEST(NmeaSentences, VtgAndValidRmcGiveTheSpeedOverGround) {
    LogCounts counts;
    const auto vtg =
        SamplesOf({"GPVTG,90.0,T,88.0,M,5.5,N,10.2,K,A", "IIMWV,45.0,T,10.0,N,A"}, &counts);
    ASSERT_EQ(vtg.size(), 1u);
    ExpectSample(vtg[0], 10.0, 45.0, 5.5);
    EXPECT_TRUE(counts.bSpeedOverGround);
    const auto rmc = SamplesOf(
        {"GPRMC,120000.00,A,5400.00,N,01000.00,E,4.5,90.0,010626,,", "IIMWV,45.0,T,10.0,N,A"});
    ASSERT_EQ(rmc.size(), 1u);
    ExpectSample(rmc[0], 10.0, 45.0, 4.5);
    // Status V: the fix, and with it the speed, is not valid.
    EXPECT_TRUE(SamplesOf({"GPRMC,120000.00,V,,,,,4.5,,,,", "IIMWV,45.0,T,10.0,N,A"}).empty());
}

TEST(NmeaSentences, RmcZdaAndGllSetTheClockAndValuesAgeInIt) {
    const auto samples = SamplesOf({
        "GPRMC,120000.00,A,,,,,4.5,,,,", "IIMWV,45.0,T,10.0,N,A",     // 12:00:00
        "GPZDA,120001.50,01,06,2026,00,00", "IIMWV,45.0,T,10.0,N,A",  // 12:00:01.5
        "GPGLL,5400.00,N,01000.00,E,120002.00,A", "IIMWV,45.0,T,10.0,N,A",
        "GPZDA,120003.00,01,06,2026,00,00", "IIMWV,45.0,T,10.0,N,A",  // the speed 3 s old
    });
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_DOUBLE_EQ(samples[0].dTime, 43200.0);
    EXPECT_DOUBLE_EQ(samples[1].dTime, 43201.5);
    EXPECT_DOUBLE_EQ(samples[2].dTime, 43202.0);
    // Past midnight the days count on.
    const auto midnight = SamplesOf({"GPZDA,235959.00,01,06,2026,00,00", "IIVHW,,T,,M,6.0,N,,K",
                                     "GPZDA,000001.00,02,06,2026,00,00", "IIMWV,45.0,T,10.0,N,A"});
    ASSERT_EQ(midnight.size(), 1u);
    EXPECT_DOUBLE_EQ(midnight[0].dTime, 86401.0);
    // Without time in the log, each wind reading is a second.
    const auto untimed = SamplesOf({"IIVHW,,T,,M,6.0,N,,K", "IIMWV,45.0,T,10.0,N,A",
                                    "IIMWV,45.0,T,10.0,N,A", "IIMWV,45.0,T,10.0,N,A"});
    ASSERT_EQ(untimed.size(), 2u);
    EXPECT_DOUBLE_EQ(untimed[1].dTime, 2.0);
}

TEST(NmeaSentences, VpwIsReadButIsNoBoatSpeed) {
    LogCounts counts;
    EXPECT_TRUE(SamplesOf({"IIVPW,4.2,N,2.2,M", "IIMWV,45.0,T,10.0,N,A"}, &counts).empty());
    EXPECT_EQ(counts.sentences["VPW"], 1u);
    EXPECT_EQ(counts.nBadLines, 0u);
}

}  // namespace
