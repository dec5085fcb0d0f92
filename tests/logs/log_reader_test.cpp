// Instrument logs read as a stream of samples.
#include "logs/log_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "data/angle_units.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<LogSample> Read(const std::string& text, LogCounts* pCounts = nullptr) {
    std::vector<LogSample> samples;
    LogCounts counts;
    ReadLogText(text, counts, [&](const LogSample& s) { samples.push_back(s); });
    if (pCounts != nullptr) {
        *pCounts = counts;
    }
    return samples;
}

TEST(WindTriangle, ApparentBecomesTrueOnBothTacksDownwindAndHeadToWind) {
    double s = 0;
    double a = 0;
    // Boat 6 kn, true wind 10 kn at 90 degrees: apparent sqrt(136) at atan2(10, 6).
    const double dApparent = std::hypot(10.0, 6.0);
    const double dAngle = std::atan2(10.0, 6.0) / kRadiansPerDegree;
    TrueWindFromApparent(dApparent, dAngle, 6.0, s, a);
    EXPECT_NEAR(s, 10.0, 1e-9);
    EXPECT_NEAR(a, 90.0, 1e-9);
    TrueWindFromApparent(dApparent, 360.0 - dAngle, 6.0, s, a);  // the other tack
    EXPECT_NEAR(a, 270.0, 1e-9);
    TrueWindFromApparent(4.0, 180.0, 6.0, s, a);  // dead downwind: 10 kn from astern
    EXPECT_NEAR(s, 10.0, 1e-9);
    EXPECT_NEAR(a, 180.0, 1e-9);
    TrueWindFromApparent(16.0, 0.0, 6.0, s, a);  // head to wind
    EXPECT_NEAR(s, 10.0, 1e-9);
    EXPECT_NEAR(a, 0.0, 1e-9);
}

TEST(LogReader, EverySentenceTypeGoodBadAndTruncated) {
    std::string log;
    const auto add = [&](const std::string& body) { log += NmeaSentence(body) + "\r\n"; };
    add("GPRMC,120000.00,A,5400.00,N,01000.00,E,5.5,90.0,010626,,");
    add("IIVHW,,T,,M,6.0,N,11.1,K");
    add("IIMWV,45.0,T,10.0,N,A");             // true wind: a sample
    add("IIVWT,45.0,L,10.0,N,5.1,M,18.5,K");  // true wind, port
    add("IIHDT,100.0,T");
    add("IIMWD,230.0,T,228.0,M,12.0,N,6.2,M");  // direction 230, heading 100: 130 degrees
    add("IIHDG,98.0,,,2.0,E");
    add("IIHDM,98.0,M");
    add("IIVPW,4.2,N,2.2,M");
    add("GPVTG,90.0,T,88.0,M,5.5,N,10.2,K,A");
    add("GPZDA,120001.00,01,06,2026,00,00");
    add("GPGLL,5400.00,N,01000.00,E,120002.00,A");
    log += "2026-06-01T12:00:03Z " + NmeaSentence("IIMWV,300.0,T,8.0,N,A") + "\n";  // logger prefix
    log += "$IIMWV,45.0,T,10.0,N,A*00\n";                                           // bad checksum
    log += "$IIMWV,45.0,T,10.0\n";                       // truncated, no checksum
    log += NmeaSentence("IIMWV,abc,T,10.0,N,A") + "\n";  // malformed
    log += "$IIMWV,45.0,T,10.0,N,A*4";                   // cut in its checksum
    LogCounts counts;
    const std::vector<LogSample> samples = Read(log, &counts);
    EXPECT_EQ(counts.nBadLines, 4u);
    for (const char* psz :
         {"RMC", "VHW", "MWV", "VWT", "HDT", "MWD", "HDG", "HDM", "VPW", "VTG", "ZDA", "GLL"}) {
        EXPECT_GE(counts.sentences[psz], 1u) << psz;
    }
    // VWT and MWD come within 10 s of the first true wind, MWV's: read and counted, passed over
    // as samples (each type's samples are tested on their own in nmea_sentences_test).
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(counts.nSecondTrueWind, 2u);
    // Every type again with a wrong checksum, and cut inside its checksum: all skipped.
    std::string damaged;
    for (const char* psz :
         {"GPRMC,120000.00,A,5400.00,N,01000.00,E,5.5,90.0,010626,,", "IIVHW,,T,,M,6.0,N,11.1,K",
          "IIMWV,45.0,T,10.0,N,A", "IIVWT,45.0,L,10.0,N,5.1,M,18.5,K", "IIVWR,45.0,R,10.0,N,,,,",
          "IIHDT,100.0,T", "IIMWD,230.0,T,228.0,M,12.0,N,6.2,M", "IIHDG,98.0,,,2.0,E",
          "IIHDM,98.0,M", "IIVPW,4.2,N,2.2,M", "GPVTG,90.0,T,88.0,M,5.5,N,10.2,K,A",
          "GPZDA,120001.00,01,06,2026,00,00", "GPGLL,5400.00,N,01000.00,E,120002.00,A"}) {
        std::string good = NmeaSentence(psz);
        std::string wrong = good;
        wrong[wrong.size() - 1] = wrong.back() == '0' ? '1' : '0';
        damaged += wrong + "\n" + good.substr(0, good.size() - 1) + "\n";
    }
    LogCounts bad;
    EXPECT_TRUE(Read(damaged, &bad).empty());
    EXPECT_EQ(bad.nBadLines, 26u);
    EXPECT_TRUE(bad.sentences.empty());
    EXPECT_EQ(samples[0].fWindAngle, 45.0f);
    EXPECT_EQ(samples[0].fBoatSpeed, 6.0f);   // through the water, not over ground
    EXPECT_EQ(samples[1].fWindAngle, 60.0f);  // 300 from the bow
    EXPECT_FALSE(counts.bSpeedOverGround);
}

TEST(LogReader, ApparentWindAndSpeedOverGroundAreUsedOnlyWithoutBetter) {
    std::string log;
    for (int t = 0; t < 3; ++t) {
        char sz[32];
        std::snprintf(sz, sizeof sz, "GPRMC,1200%02d.00,A,,,,,6.0,,,,", t);
        log += NmeaSentence(sz) + "\n";
        const double dApparent = std::hypot(10.0, 6.0);
        const double dAngle = std::atan2(10.0, 6.0) / kRadiansPerDegree;
        std::snprintf(sz, sizeof sz, "IIMWV,%.4f,R,%.4f,N,A", dAngle, dApparent);
        log += NmeaSentence(sz) + "\n";
    }
    LogCounts counts;
    const std::vector<LogSample> samples = Read(log, &counts);
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_NEAR(samples[0].fWindSpeed, 10.0f, 1e-3);
    EXPECT_NEAR(samples[0].fWindAngle, 90.0f, 1e-3);
    EXPECT_TRUE(counts.bSpeedOverGround);
    EXPECT_GT(counts.nComputedWindSamples, 0u);
}

TEST(LogReader, CsvLogsInAnyColumnOrder) {
    const std::vector<LogSample> samples =
        Read("STW;twa;Time;TWS\n6,5;45;12:00:00;10\n6.1;315;12:00:01;10.2\nbad;row\n");
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[1].fWindAngle, 45.0f);
    EXPECT_NEAR(samples[1].dTime, 43201.0, 1e-9);
    const std::vector<LogSample> apparent = Read("time,aws,awa,bsp\n0,11.66,59.04,6\n");
    ASSERT_EQ(apparent.size(), 1u);
    EXPECT_NEAR(apparent[0].fWindAngle, 90.0f, 0.05f);
}

TEST(LogReader, RandomBytesAndCutFilesAreNeverFatal) {
    std::mt19937 random(11);
    std::string bytes(20000, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() % 256);
    }
    LogCounts counts;
    Read(bytes, &counts);
    EXPECT_GT(counts.nBadLines, 0u);
    TempDir dir;
    const std::string strLog = dir.File("cut.gz");
    {
        gzFile f = gzopen(strLog.c_str(), "wb");
        const std::string text = GeneratedLog(KnownPolar(), 7, 0.01);
        gzwrite(f, text.data(), static_cast<unsigned>(text.size()));
        gzclose(f);
    }
    const std::string whole = TempDir::Read(strLog);
    TempDir::Write(strLog, whole.substr(0, whole.size() / 2));
    std::string strError;
    LogCounts cut;
    std::size_t nSamples = 0;
    EXPECT_TRUE(ReadLog(
        strLog, cut, [&](const LogSample&) { ++nSamples; }, strError));
    EXPECT_TRUE(cut.bTruncated);
    EXPECT_GT(nSamples, 100u);
}

}  // namespace
