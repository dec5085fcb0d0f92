// polarctl learn, compare and render --log on a generated log.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>
#include <cctype>
#include <filesystem>
#include <random>
#include <sstream>

#include "data/polar_file.h"
#include "smoothing/polar_smoothing.h"
#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/race_log.h"
#include "tests/support/sailed_log.h"
#include "tests/support/temp_dir.h"

namespace {

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

TEST(Compare, SteadySecondsDecidesWhichSamplesCount) {
    TempDir dir;
    const SAILPLAN known = KnownPolar();
    const std::string strLog = dir.File("log.nmea");
    TempDir::Write(strLog, GeneratedLog(known, 7, 0.0));
    SailPlanArray plans;
    SAILPLAN& plan = AddSailPlan(plans, "Known");
    for (const auto& p : known.m_aPolars) {
        PERF_POLAR& polar = AddPolar(plan, p->m_fWindSpeed, p->m_fTackingAngle, {});
        for (const auto& v : p->m_aVectors) {
            polar.InsertVector(polar.GetVectorCount(), v->m_fAngle, v->m_fSpeed);
        }
    }
    const std::string strPolar = dir.File("known.ppd");
    TempDir::Write(strPolar, FormatPolarFile(plans));
    const auto samples = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"compare",     strLog,  strPolar,
                                         "--sail-plan", "known", "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun run = Polarctl(args);
        EXPECT_EQ(run.nExit, 0) << run.err;
        const std::string strKey = "{\"samples\": ";
        EXPECT_EQ(run.out.rfind(strKey, 0), 0u) << run.out;
        return std::stol(run.out.substr(strKey.size()));
    };
    const long nDefault = samples({});
    EXPECT_GT(nDefault, 0);
    EXPECT_EQ(samples({"--steady-seconds", "10"}), nDefault);
    // With a shorter wait for steady sailing more of every leg counts; with a longer one less.
    EXPECT_GT(samples({"--steady-seconds", "5"}), nDefault);
    EXPECT_LT(samples({"--steady-seconds", "30"}), nDefault);
}

// Whether every byte is printable ASCII, a line break or a tab.
bool Printable(const std::string& text) {
    for (const char c : text) {
        const auto uc = static_cast<unsigned char>(c);
        if ((uc < 0x20 || uc >= 0x7F) && c != '\n' && c != '\t') {
            return false;
        }
    }
    return true;
}

// A minute at the mooring: wind, and the boat not moving.
std::string AtRest() {
    std::string log;
    for (int t = 0; t < 60; ++t) {
        char sz[48];
        std::snprintf(sz, sizeof sz, "GPZDA,1200%02d.00,01,06,2026,00,00", t);
        log += NmeaSentence(sz) + "\n" + NmeaSentence("IIVHW,,T,,M,0.0,N,,K") + "\n" +
               NmeaSentence("IIMWV,45.0,T,10.0,N,A") + "\n";
    }
    return log;
}

TEST(Learn, SaysWhyNothingCameOutAndNamesALogItCannotRead) {
    TempDir dir;
    const std::string strLog = dir.File("rest.nmea");
    TempDir::Write(strLog, AtRest());
    const std::string strReport = dir.File("report.json");
    const CliRun rest =
        Polarctl({"learn", strLog, "-o", dir.File("out.ppd"), "--report", strReport});
    EXPECT_EQ(rest.nExit, 1);
    EXPECT_NE(rest.out.find("few points: the boat was at rest: 60 of 60 samples"),
              std::string::npos)
        << rest.out;
    EXPECT_NE(TempDir::Read(strReport).find("\"cause\": \"the boat was at rest"),
              std::string::npos);
    const CliRun compared = Polarctl({"compare", strLog, dir.File("out.ppd"), "--sail-plan", "0"});
    EXPECT_EQ(compared.nExit, 1);  // no data file: nothing to compare with

    // A folder or a missing log among good ones: named, with the reason, before any reading.
    std::filesystem::create_directory(dir.File("logs"));
    for (const char* pszCommand : {"learn", "compare"}) {
        const std::vector<std::string> tail =
            std::string(pszCommand) == "learn"
                ? std::vector<std::string>{"-o", dir.File("x.ppd"), "--report", strReport}
                : std::vector<std::string>{strLog, "--sail-plan", "0"};
        for (const std::string& strBad : {dir.File("logs"), dir.File("missing.nmea")}) {
            std::vector<std::string> args = {pszCommand, strLog, strBad};
            args.insert(args.end(), tail.begin(), tail.end());
            const CliRun run = Polarctl(args);
            EXPECT_EQ(run.nExit, 1) << pszCommand << " " << strBad;
            EXPECT_NE(
                run.err.find(strBad + (strBad == dir.File("logs") ? " is a folder, not a log"
                                                                  : ": No such file or directory")),
                std::string::npos)
                << run.err;
        }
    }

    // Terminal control bytes and other noise in a log and in a path are printed escaped.
    std::mt19937 random(5);
    std::string noise = "$\x1b[2J\x07GP\x9b" + NmeaSentence("IIMWV,45.0,T,10.0,N,A") + "\n";
    for (int i = 0; i < 20000; ++i) {
        noise.push_back(static_cast<char>(random() % 256));
    }
    const std::string strNoise = dir.File("noise\x1b[31m.nmea");
    TempDir::Write(strNoise, noise);
    for (const CliRun& run : {Polarctl({"learn", strNoise, "-o", dir.File("y.ppd")}),
                              Polarctl({"learn", strNoise + ".gone", "-o", dir.File("y.ppd")})}) {
        EXPECT_EQ(run.nExit, 1);
        EXPECT_TRUE(Printable(run.out)) << run.out;
        EXPECT_TRUE(Printable(run.err)) << run.err;
    }
}

TEST(Compare, WithoutSamplesSaysSoAndFails) {
    TempDir dir;
    const std::string strLog = dir.File("rest.nmea");
    TempDir::Write(strLog, AtRest());
    SailPlanArray plans;
    AddPolar(AddSailPlan(plans, "Known"), 10, 40, {{40, 5.6f}, {90, 7.2f}, {150, 6.2f}});
    const std::string strPolar = dir.File("known.ppd");
    TempDir::Write(strPolar, FormatPolarFile(plans));
    for (const bool bJson : {false, true}) {
        std::vector<std::string> args = {"compare", strLog, strPolar, "--sail-plan", "0"};
        if (bJson) {
            args.push_back("--json");
        }
        const CliRun run = Polarctl(args);
        EXPECT_EQ(run.nExit, 1);
        EXPECT_NE(run.err.find("no sample to compare with \"Known\": the boat was at rest"),
                  std::string::npos)
            << run.err;
    }
}

TEST(Learn, TheReportHoldsTheSummarysCountsAndExcludedSpansCount) {
    TempDir dir;
    std::string log = GeneratedLog(KnownPolar(), 9, 0.02);
    log += NmeaSentence("IIHDT,,T") + "\n!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26\n";
    const std::string strLog = dir.File("log.nmea");
    TempDir::Write(strLog, log);
    const std::string strReport = dir.File("report.json");
    const CliRun run = Polarctl({"learn", strLog, "-o", dir.File("out.ppd"), "--report", strReport,
                                 "--exclude", "01:00-02:00,23:30-00:10"});
    ASSERT_EQ(run.nExit, 0) << run.err;
    const std::string report = TempDir::Read(strReport);
    // Every number of the summary's lines of counts is in the report.
    std::istringstream summary(run.out);
    std::string strLine;
    int nNumbers = 0;
    while (std::getline(summary, strLine) && strLine.rfind("wrote", 0) != 0) {
        for (std::size_t i = 0; i < strLine.size();) {
            const std::size_t nEnd = strLine.find_first_not_of("0123456789", i);
            if (std::isdigit(static_cast<unsigned char>(strLine[i])) &&
                (i == 0 || strLine[i - 1] == ' ')) {
                const std::string strNumber = strLine.substr(i, nEnd - i);
                EXPECT_NE(report.find(": " + strNumber), std::string::npos)
                    << strNumber << " of \"" << strLine << "\"";
                ++nNumbers;
            }
            i = nEnd == std::string::npos ? strLine.size() : nEnd + 1;
        }
    }
    EXPECT_GT(nNumbers, 15);
    EXPECT_NE(report.find("\"sentences_without_values\": 1, \"other_sentences\": 1"),
              std::string::npos);
    EXPECT_NE(report.find("\"excluded\": 4200,"), std::string::npos) << report;
    for (const char* pszBad :
         {"1:00-2:00", "01:00", "01:00-01:00", "01:00-25:00", "01:00-02:00,"}) {
        EXPECT_EQ(Polarctl({"learn", strLog, "-o", dir.File("z.ppd"), "--exclude", pszBad}).nExit,
                  2)
            << pszBad;
    }
}

TEST(Learn, FitSmoothsEveryLearnedPolarAndHoldoutIsReported) {
    TempDir dir;
    const std::string strLog = dir.File("log.nmea");
    TempDir::Write(strLog, GeneratedLog(KnownPolar(), 6, 0.02));
    const std::string strOut = dir.File("fitted.ppd");
    const std::string strReport = dir.File("report.json");
    const CliRun run = Polarctl(
        {"learn", strLog, "-o", strOut, "--fit", "--holdout", "20", "--report", strReport});
    ASSERT_EQ(run.nExit, 0) << run.err;
    EXPECT_NE(run.out.find("fitted: 3 of 3 polars"), std::string::npos) << run.out;
    // The fitted points where no sample was learned are named; beyond the sailed angles (40
    // to 175) none is written without --extrapolate.
    EXPECT_NE(run.out.find("made by the fit where no sample was learned"), std::string::npos);
    EXPECT_NE(run.out.find("beyond the sailed angles left out"), std::string::npos);
    EXPECT_NE(run.out.find("held out: "), std::string::npos);
    const std::string report = TempDir::Read(strReport);
    EXPECT_NE(report.find("\"fitted\": 3, \"fitted_points\": "), std::string::npos) << report;
    EXPECT_NE(report.find("\"fitted_without_data\": ["), std::string::npos);
    EXPECT_NE(report.find("\"holdout\": {\"legs\": "), std::string::npos);
    const std::vector<int> grid = SmoothingSamples(40, 175);
    for (const bool bExtrapolate : {false, true}) {
        if (bExtrapolate) {
            ASSERT_EQ(Polarctl({"learn", strLog, "-o", strOut, "--fit", "--extrapolate", "--force"})
                          .nExit,
                      0);
        }
        std::vector<float> expected;
        for (const int n : grid) {
            if (bExtrapolate || (n >= 40 && n <= 175)) {
                expected.push_back(static_cast<float>(n));
            }
        }
        PolarFileContents contents;
        ASSERT_TRUE(LoadPolarFile(strOut, contents).Ok());
        for (const auto& pPolar : contents.aSailPlans[0]->m_aPolars) {
            ASSERT_EQ(pPolar->m_aVectors.size(), expected.size()) << bExtrapolate;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(pPolar->m_aVectors[i]->m_fAngle, expected[i]);
            }
        }
    }
    EXPECT_EQ(Polarctl({"learn", strLog, "-o", dir.File("x.ppd"), "--holdout", "95"}).nExit, 2);
}

TEST(Learn, CalibrateEstimatesTheSensorsErrorsAndLearnsWithoutThem) {
    TempDir dir;
    LogShape shape;
    shape.nLegs = 300;
    shape.nLegSeconds = 120;
    shape.bBothTacks = true;
    shape.bGround = true;
    shape.dCurrent = 0.5;
    shape.dAngleOffset = -3;
    shape.dSpeedFactor = 0.95;
    const std::string strLog = dir.File("log.nmea");
    TempDir::Write(strLog, GeneratedLog(KnownPolar(), shape));
    const std::string strReport = dir.File("report.json");
    // The number after strKey in text.
    const auto after = [](const std::string& text, const std::string& strKey) {
        const std::size_t n = text.find(strKey);
        return n == std::string::npos ? 1e9 : std::stod(text.substr(n + strKey.size()));
    };
    const CliRun told = Polarctl({"learn", strLog, "-o", dir.File("raw.ppd")});
    EXPECT_NEAR(after(told.out, "wind angle offset: "), -3.0, 1.0) << told.out;
    EXPECT_NEAR(after(told.out, "boat speed factor: "), 0.95, 0.0095);
    EXPECT_NE(told.out.find("; --calibrate applies it"), std::string::npos);
    const CliRun run = Polarctl({"learn", strLog, "-o", dir.File("calibrated.ppd"), "--calibrate",
                                 "--report", strReport, "--percentile", "50"});
    ASSERT_EQ(run.nExit, 0) << run.err;
    const std::string report = TempDir::Read(strReport);
    EXPECT_NEAR(after(report, "\"angle_offset\": {\"value\": "), -3.0, 1.0) << report;
    EXPECT_NEAR(after(report, "\"speed_factor\": {\"value\": "), 0.95, 0.0095);
    EXPECT_NE(report.find("\"applied\": true}"), std::string::npos);
    // The learned 10 kn polar at 90 degrees: 7.2 kn, not the paddle wheel's 6.84.
    PolarFileContents contents;
    ASSERT_TRUE(LoadPolarFile(dir.File("calibrated.ppd"), contents).Ok());
    bool bChecked = false;
    for (const auto& pPolar : contents.aSailPlans[0]->m_aPolars) {
        for (const auto& pVector : pPolar->m_aVectors) {
            if (pPolar->m_fWindSpeed == 10 && pVector->m_fAngle == 90) {
                EXPECT_NEAR(pVector->m_fSpeed, 7.2f, 0.05f);
                bChecked = true;
            }
        }
    }
    EXPECT_TRUE(bChecked);
}

TEST(Learn, AMotoringOnlyLogWritesNothingAndCompareRefusesItSayingWhy) {
    TempDir dir;
    RaceShape shape;
    shape.nSeed = 9;
    shape.dHours = 12;
    shape.bOnlyMotoring = true;
    const std::string strLog = dir.File("motored.nmea");
    TempDir::Write(strLog, RaceLog(RacePolar(), shape));
    const std::string strOut = dir.File("motored.ppd");
    const CliRun learned = Polarctl({"learn", strLog, "-o", strOut});
    EXPECT_EQ(learned.nExit, 1);
    EXPECT_FALSE(std::filesystem::exists(strOut));
    EXPECT_NE(learned.err.find("motoring"), std::string::npos) << learned.err;
    EXPECT_NE(learned.out.find("of the samples under way dropped as motoring"), std::string::npos);
    const std::string strKnown = dir.File("known.ppd");
    SailPlanArray plans;
    plans.push_back(std::make_unique<SAILPLAN>(RacePolar()));
    TempDir::Write(strKnown, FormatPolarFile(plans));
    const CliRun compared = Polarctl({"compare", strLog, strKnown, "--sail-plan", "0"});
    EXPECT_EQ(compared.nExit, 1);
    EXPECT_NE(compared.err.find("motoring"), std::string::npos) << compared.err;
}

TEST(Learn, AnEmptyHoldoutSaysItMeasuredNothing) {
    TempDir dir;
    LogShape shape;
    shape.nLegs = 12;
    const std::string strLog = dir.File("short.nmea");
    TempDir::Write(strLog, GeneratedLog(KnownPolar(), shape));
    const std::string strReport = dir.File("report.json");
    const CliRun run = Polarctl({"learn", strLog, "-o", dir.File("x.ppd"), "--holdout", "10",
                                 "--min-samples", "3", "--report", strReport});
    EXPECT_NE(run.out.find("no error measured"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("median error 0 kn"), std::string::npos) << run.out;
    EXPECT_NE(TempDir::Read(strReport).find("\"median_error\": null"), std::string::npos);
}

}  // namespace
