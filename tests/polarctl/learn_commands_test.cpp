// polarctl learn, compare and render --log on a generated log.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>

#include "data/polar_file.h"
#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
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

}  // namespace
