// Polars learned from instrument logs, and sailing compared with a polar.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

#include "apps/polarctl/exchange/polar_curve.h"
#include "apps/polarctl/learn/learner.h"
#include "apps/polarctl/learn/log_reader.h"
#include "data/polar_file.h"
#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/temp_dir.h"

namespace {

std::string WithChecksum(const std::string& strBody) {
    return NmeaSentence(strBody);
}

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
    const double dAngle = std::atan2(10.0, 6.0) * 180.0 / M_PI;
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
    const auto add = [&](const std::string& body) { log += WithChecksum(body) + "\r\n"; };
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
    log += "2026-06-01T12:00:03Z " + WithChecksum("IIMWV,300.0,T,8.0,N,A") + "\n";  // logger prefix
    log += "$IIMWV,45.0,T,10.0,N,A*00\n";                                           // bad checksum
    log += "$IIMWV,45.0,T,10.0\n";                       // truncated, no checksum
    log += WithChecksum("IIMWV,abc,T,10.0,N,A") + "\n";  // malformed
    log += "$IIMWV,45.0,T,10.0,N,A*4";                   // cut in its checksum
    LogCounts counts;
    const std::vector<LogSample> samples = Read(log, &counts);
    EXPECT_EQ(counts.nBadLines, 4u);
    for (const char* psz :
         {"RMC", "VHW", "MWV", "VWT", "HDT", "MWD", "HDG", "HDM", "VPW", "VTG", "ZDA", "GLL"}) {
        EXPECT_GE(counts.sentences[psz], 1u) << psz;
    }
    ASSERT_EQ(samples.size(), 4u);
    // Every type again with a wrong checksum, and cut inside its checksum: all skipped.
    std::string damaged;
    for (const char* psz :
         {"GPRMC,120000.00,A,5400.00,N,01000.00,E,5.5,90.0,010626,,", "IIVHW,,T,,M,6.0,N,11.1,K",
          "IIMWV,45.0,T,10.0,N,A", "IIVWT,45.0,L,10.0,N,5.1,M,18.5,K", "IIVWR,45.0,R,10.0,N,,,,",
          "IIHDT,100.0,T", "IIMWD,230.0,T,228.0,M,12.0,N,6.2,M", "IIHDG,98.0,,,2.0,E",
          "IIHDM,98.0,M", "IIVPW,4.2,N,2.2,M", "GPVTG,90.0,T,88.0,M,5.5,N,10.2,K,A",
          "GPZDA,120001.00,01,06,2026,00,00", "GPGLL,5400.00,N,01000.00,E,120002.00,A"}) {
        std::string good = WithChecksum(psz);
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
    EXPECT_EQ(samples[1].fWindAngle, 45.0f);  // port folds onto starboard
    EXPECT_EQ(samples[2].fWindAngle, 130.0f);
    EXPECT_EQ(samples[3].fWindAngle, 60.0f);  // 300 from the bow
    EXPECT_FALSE(counts.bSpeedOverGround);
}

TEST(LogReader, ApparentWindAndSpeedOverGroundAreUsedOnlyWithoutBetter) {
    std::string log;
    for (int t = 0; t < 3; ++t) {
        char sz[32];
        std::snprintf(sz, sizeof sz, "GPRMC,1200%02d.00,A,,,,,6.0,,,,", t);
        log += WithChecksum(sz) + "\n";
        const double dApparent = std::hypot(10.0, 6.0);
        const double dAngle = std::atan2(10.0, 6.0) * 180.0 / M_PI;
        std::snprintf(sz, sizeof sz, "IIMWV,%.4f,R,%.4f,N,A", dAngle, dApparent);
        log += WithChecksum(sz) + "\n";
    }
    LogCounts counts;
    const std::vector<LogSample> samples = Read(log, &counts);
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_NEAR(samples[0].fWindSpeed, 10.0f, 1e-3);
    EXPECT_NEAR(samples[0].fWindAngle, 90.0f, 1e-3);
    EXPECT_TRUE(counts.bSpeedOverGround);
    EXPECT_TRUE(counts.bApparentWind);
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

// A log sailed on a known polar with noise: legs of steady sailing, tacks and gybes between
// them, and motoring stretches with the heading wandering.
std::string GeneratedLog(const SAILPLAN& plan, unsigned nSeed, double dNoise) {
    std::mt19937 random(nSeed);
    std::uniform_real_distribution<double> noise(-dNoise, dNoise);
    std::uniform_real_distribution<double> unit(0, 1);
    std::string log;
    int t = 0;
    const auto stamp = [&] {
        char sz[48];
        std::snprintf(sz, sizeof sz, "GPZDA,%02d%02d%02d.00,01,06,2026,00,00", (t / 3600) % 24,
                      (t / 60) % 60, t % 60);
        log += WithChecksum(sz) + "\n";
    };
    const auto sample = [&](double tws, double twaFromBow, double bsp) {
        stamp();
        char sz[80];
        std::snprintf(sz, sizeof sz, "IIVHW,,T,,M,%.2f,N,,K", bsp);
        log += WithChecksum(sz) + "\n";
        std::snprintf(sz, sizeof sz, "IIMWV,%.1f,T,%.2f,N,A", twaFromBow, tws);
        log += WithChecksum(sz) + "\n";
        ++t;
    };
    for (int leg = 0; leg < 400; ++leg) {
        const PERF_POLAR& polar = *plan.m_aPolars[static_cast<std::size_t>(leg) % 3];
        const double twa = 40 + 5 * (leg * 11 % 28);  // 40 to 175
        const bool bPort = leg % 2 == 1;              // tacks and gybes between legs
        const auto speed = SpeedOnCurve(polar, static_cast<float>(twa));
        for (int k = 0; k < 60 && speed; ++k) {
            sample(polar.m_fWindSpeed * (1 + noise(random) / 4), bPort ? 360 - twa : twa,
                   *speed * (1 + noise(random)));
        }
        for (int k = 0; k < 20; ++k) {  // motoring, heading wandering
            sample(polar.m_fWindSpeed, 360 * unit(random), 5.0 + unit(random));
        }
    }
    return log;
}

SAILPLAN KnownPolar() {
    SAILPLAN plan("Known");
    AddPolar(plan, 6, 42,
             {{40, 4.0f}, {60, 5.1f}, {90, 5.8f}, {120, 5.5f}, {150, 4.6f}, {180, 3.6f}});
    AddPolar(plan, 10, 40,
             {{40, 5.6f}, {60, 6.6f}, {90, 7.2f}, {120, 7.0f}, {150, 6.2f}, {180, 5.2f}});
    AddPolar(plan, 14, 38,
             {{40, 6.4f}, {60, 7.2f}, {90, 7.8f}, {120, 7.8f}, {150, 7.3f}, {180, 6.5f}});
    return plan;
}

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

TEST(Learn, TheCommandWritesASailPlanAndCompareFindsTheSailingOnThePolar) {
    TempDir dir;
    const SAILPLAN known = KnownPolar();
    const std::string strLog = dir.File("log.nmea.gz");
    {
        gzFile f = gzopen(strLog.c_str(), "wb");
        const std::string text = GeneratedLog(known, 5, 0.0);
        gzwrite(f, text.data(), static_cast<unsigned>(text.size()));
        gzclose(f);
    }
    const std::string strOut = dir.File("POLAR.PPD");
    const CliRun learned = Polarctl(
        {"learn", strLog, "-o", strOut, "--report", dir.File("report.json"), "--percentile", "50"});
    ASSERT_EQ(learned.nExit, 0) << learned.err;
    EXPECT_NE(learned.out.find("MWV"), std::string::npos);
    EXPECT_NE(TempDir::Read(dir.File("report.json")).find("\"percentile\""), std::string::npos);
    PolarFileContents contents;
    ASSERT_TRUE(LoadPolarFile(strOut, contents).Ok());
    ASSERT_EQ(contents.aSailPlans.size(), 1u);
    EXPECT_EQ(contents.aSailPlans[0]->m_strName, "Measured");
    EXPECT_EQ(Polarctl({"learn", strLog, "-o", strOut}).nExit, 2);  // exists: not replaced

    // Sailed exactly on the polar: 100 %.
    const std::string strKnown = dir.File("known.ppd");
    SailPlanArray plans;
    plans.push_back(std::make_unique<SAILPLAN>("Known"));
    for (const auto& p : known.m_aPolars) {
        plans[0]->InsertPolar(plans[0]->GetPolarCount(), p->m_fWindSpeed, p->m_fTackingAngle);
        for (const auto& v : p->m_aVectors) {
            plans[0]->m_aPolars.back()->InsertVector(plans[0]->m_aPolars.back()->GetVectorCount(),
                                                     v->m_fAngle, v->m_fSpeed);
        }
    }
    TempDir::Write(strKnown, FormatPolarFile(plans));
    const CliRun compared = Polarctl({"compare", strLog, strKnown, "--sail-plan", "0", "--json"});
    ASSERT_EQ(compared.nExit, 0) << compared.err;
    EXPECT_NE(compared.out.find("\"median_percent\": 100,"), std::string::npos) << compared.out;

    // The measured points of the 10 knots polar over its diagram, in their own colour.
    const std::string strPng = dir.File("measured.png");
    const CliRun rendered = Polarctl(
        {"render", strKnown, "--sail-plan", "0", "--polar", "1", "-o", strPng, "--log", strLog});
    ASSERT_EQ(rendered.nExit, 0) << rendered.err;
    const QImage image(QString::fromStdString(strPng));
    int nDots = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            nDots += image.pixel(x, y) == qRgb(200, 0, 160) ? 1 : 0;
        }
    }
    EXPECT_GT(nDots, 20);
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
