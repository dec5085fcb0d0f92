#include "apps/polarctl/polarctl.h"

#include <gtest/gtest.h>

#include <QImage>
#include <sstream>

#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/temp_dir.h"

namespace {

class PolarctlTest : public testing::Test {
  protected:
    void SetUp() override { TempDir::Write(m_strFile, kExampleFileText); }
    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
};

TEST_F(PolarctlTest, UsageAndExitCodes) {
    EXPECT_EQ(Polarctl({"--help"}).nExit, 0);
    EXPECT_NE(Polarctl({"--help"}).out.find("check FILE"), std::string::npos);
    EXPECT_EQ(Polarctl({}).nExit, 2);
    EXPECT_EQ(Polarctl({"frobnicate"}).nExit, 2);
    EXPECT_EQ(Polarctl({"check"}).nExit, 2);
    EXPECT_EQ(Polarctl({"check", m_strFile, "--bogus"}).nExit, 2);
    EXPECT_EQ(Polarctl({"smooth", m_strFile, "--sail-plan", "x", "--polar", "0"}).nExit, 2);
    const CliRun missing = Polarctl({"check", m_dir.File("none.ppd")});
    EXPECT_EQ(missing.nExit, 1);
    EXPECT_NE(missing.err.find("none.ppd"), std::string::npos);
}

TEST_F(PolarctlTest, CheckSummarisesAndReportsProblemsWithPositions) {
    const CliRun ok = Polarctl({"check", m_strFile});
    EXPECT_EQ(ok.nExit, 0);
    EXPECT_EQ(ok.out, m_strFile + ": 2 sail plans, 3 polars, 12 points\n");

    TempDir::Write(m_strFile, "A,\r\n6,45,90,5,40,4,-1\r\n4,45,-1\r\nB");
    const CliRun bad = Polarctl({"check", m_strFile});
    EXPECT_EQ(bad.nExit, 1);
    EXPECT_NE(bad.out.find(m_strFile + ":4:1: error: expected a number (wind speed), found 'B'"),
              std::string::npos)
        << bad.out;
    EXPECT_NE(bad.out.find("point 1 (40.00 degrees) comes after a larger angle (90.00 degrees)"),
              std::string::npos)
        << bad.out;
    EXPECT_NE(bad.out.find("polar 1 (4.00 kn) comes after a higher wind speed (6.00 kn)"),
              std::string::npos)
        << bad.out;
}

TEST_F(PolarctlTest, CheckWarnsAboutEveryPolarWithoutPoints) {
    // Polars without points first in a sail plan, between others, and last in the file.
    TempDir::Write(m_strFile,
                   "Main,\r\n0.00,45.00,\r\n-1\r\n8.00,44.00,\r\n40.00,5.00,-1\r\n"
                   "10.00,42.00,\r\n-1\r\n12.00,41.00,\r\n40.00,6.00,-2\r\n"
                   "Light,\r\n4.00,45.00,\r\n-2");
    const CliRun run = Polarctl({"check", m_strFile});
    EXPECT_EQ(run.nExit, 0) << run.out;  // a warning, as for values no boat reaches
    const std::string strWarning = m_strFile + ": warning: sail plan ";
    EXPECT_EQ(run.out, m_strFile + ": 2 sail plans, 5 polars, 2 points\n" + strWarning +
                           "\"Main\": wind speed 0.00 kn (polar 0) has no points\n" + strWarning +
                           "\"Main\": wind speed 10.00 kn (polar 2) has no points\n" + strWarning +
                           "\"Light\": wind speed 4.00 kn (polar 0) has no points\n");

    // Beside a reading error the exit code stays that of the error.
    TempDir::Write(m_strFile, "A,\r\n6,45,-1\r\nB");
    const CliRun bad = Polarctl({"check", m_strFile});
    EXPECT_EQ(bad.nExit, 1);
    EXPECT_NE(bad.out.find("\"A\": wind speed 6.00 kn (polar 0) has no points"), std::string::npos)
        << bad.out;
}

TEST_F(PolarctlTest, DumpListsEveryRecordAsTextOrJson) {
    const CliRun text = Polarctl({"dump", m_strFile});
    EXPECT_EQ(text.nExit, 0);
    EXPECT_NE(text.out.find("sail plan 1 \"Light\"\n  polar 0 wind speed 4.00 tacking angle 48.00\n"
                            "    point 45.00 3.00\n    point 90.00 3.90\n"),
              std::string::npos)
        << text.out;

    TempDir::Write(m_strFile, "Fl\xE6k \"1\",\r\n6.5,45,40,4.1,-2\r\nX");
    const CliRun json = Polarctl({"dump", m_strFile, "--json"});
    EXPECT_EQ(json.nExit, 1);
    EXPECT_EQ(
        json.out,
        "{\n  \"sail_plans\": [\n    {\"name\": \"Fl\xC3\xA6k \\\"1\\\"\", \"polars\": [\n"
        "      {\"wind_speed\": 6.5, \"tacking_angle\": 45, \"points\": [[40, 4.1]]}\n"
        "    ]}\n  ],\n  \"problems\": [\n"
        "    {\"line\": 3, \"column\": 1, \"message\": \"the file ends inside a sail plan name "
        "(no comma after it)\"}\n  ]\n}\n");
}

TEST_F(PolarctlTest, NormalizeWritesTheStandardLayoutAndRefusesToLoseData) {
    TempDir::Write(m_strFile, "Main,\n6,45,\n40,4.1,\n60,5,-2\n");
    const CliRun run = Polarctl({"normalize", m_strFile});
    EXPECT_EQ(run.nExit, 0) << run.err;
    EXPECT_EQ(TempDir::Read(m_strFile), "Main,\r\n6.00,45.00,\r\n40.00,4.10,60.00,5.00,-2");

    const std::string strDamaged = "A,\r\n6,45,-2\r\nB,\r\n7,40,90,";
    TempDir::Write(m_strFile, strDamaged);
    EXPECT_EQ(Polarctl({"normalize", m_strFile}).nExit, 1);
    EXPECT_EQ(TempDir::Read(m_strFile), strDamaged);
    const std::string strOut = m_dir.File("out.ppd");
    EXPECT_EQ(Polarctl({"normalize", m_strFile, "--force", "-o", strOut}).nExit, 1);
    EXPECT_EQ(TempDir::Read(strOut), "A,\r\n6.00,45.00,\r\n-2");
}

TEST_F(PolarctlTest, SmoothRewritesThePolarAndSaysWhenItCannot) {
    const CliRun run = Polarctl({"smooth", m_strFile, "--sail-plan", "0", "--polar", "0"});
    EXPECT_EQ(run.nExit, 0) << run.err;
    EXPECT_EQ(run.out.rfind("degree 3, 12 points:\n40.00 ", 0), 0u) << run.out;
    const CliRun check = Polarctl({"check", m_strFile});
    EXPECT_NE(check.out.find("2 sail plans, 3 polars, 19 points"), std::string::npos) << check.out;

    const std::string strBefore = TempDir::Read(m_strFile);
    const CliRun tooFew = Polarctl({"smooth", m_strFile, "--sail-plan", "1", "--polar", "0"});
    EXPECT_EQ(tooFew.nExit, 1);
    EXPECT_NE(tooFew.err.find("at least 3"), std::string::npos);
    EXPECT_EQ(TempDir::Read(m_strFile), strBefore);

    EXPECT_EQ(Polarctl({"smooth", m_strFile, "--sail-plan", "2", "--polar", "0"}).nExit, 2);
    EXPECT_EQ(Polarctl({"smooth", m_strFile, "--sail-plan", "0", "--polar", "5"}).nExit, 2);

    TempDir::Write(m_strFile, "A,\r\n6,45,90,4,90,5,90,6,-2");
    const CliRun failed = Polarctl({"smooth", m_strFile, "--sail-plan", "0", "--polar", "0"});
    EXPECT_EQ(failed.nExit, 1);
    EXPECT_NE(failed.err.find("fit failed"), std::string::npos);
}

TEST_F(PolarctlTest, LanguageFilesBuildAndDumpBackToTheSamePairs) {
    const std::string strTsv = m_dir.File("de.tsv");
    const std::string strLgx = m_dir.File("Lang_049.lgx");
    const std::string strPairs =
        "Kts\tkn\r\nspeed\tFahrt \xC3\xBC\n\nHelp\\English\\polar.hlp\tHelp\\Deutsch\\polar.hlp\n";
    TempDir::Write(strTsv, strPairs);
    const CliRun build = Polarctl({"lgx", "build", strTsv, "-o", strLgx});
    EXPECT_EQ(build.nExit, 0) << build.err;
    EXPECT_EQ(TempDir::Read(strLgx).substr(0, 7), std::string("\xB4\x8B\x8C\xFF\x94\x91\xFF", 7));
    const CliRun dump = Polarctl({"lgx", "dump", strLgx});
    EXPECT_EQ(dump.nExit, 0);
    EXPECT_EQ(
        dump.out,
        "Kts\tkn\nspeed\tFahrt \xC3\xBC\nHelp\\English\\polar.hlp\tHelp\\Deutsch\\polar.hlp\n");

    TempDir::Write(strLgx, TempDir::Read(strLgx) + "\x9E");
    const CliRun truncated = Polarctl({"lgx", "dump", strLgx});
    EXPECT_EQ(truncated.nExit, 1);
    EXPECT_NE(truncated.err.find("last 1 bytes"), std::string::npos);

    TempDir::Write(strTsv, "no tab here\n");
    EXPECT_EQ(Polarctl({"lgx", "build", strTsv, "-o", strLgx}).nExit, 1);
    EXPECT_EQ(Polarctl({"lgx", "build", strTsv}).nExit, 2);
}

TEST_F(PolarctlTest, RenderDrawsTheDiagramIntoAPng) {
    const std::string strPng = m_dir.File("main.png");
    const CliRun run =
        Polarctl({"render", m_strFile, "--sail-plan", "0", "--polar", "1", "-o", strPng, "--size",
                  "300x200", "--colors", "000000,FFFFFF,FF0000,00FF00,0000FF"});
    ASSERT_EQ(run.nExit, 0) << run.err;
    const QImage image(QString::fromStdString(strPng));
    ASSERT_EQ(image.size(), QSize(300, 200));
    int nCurve = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            nCurve += image.pixel(x, y) == qRgb(0xFF, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(nCurve, 20);
    EXPECT_EQ(
        Polarctl({"render", m_strFile, "--sail-plan", "0", "--polar", "9", "-o", strPng}).nExit, 2);
    EXPECT_EQ(Polarctl({"render", m_strFile, "--sail-plan", "0", "--polar", "0", "-o", strPng,
                        "--size", "9x9"})
                  .nExit,
              2);
    EXPECT_EQ(Polarctl({"render", m_strFile, "--sail-plan", "0", "--polar", "0", "-o", strPng,
                        "--colors", "red"})
                  .nExit,
              2);
}

}  // namespace
