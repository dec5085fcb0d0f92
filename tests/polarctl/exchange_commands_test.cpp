// polarctl import, export and vmg as a user runs them.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/file_lock.h"
#include "data/polar_file.h"
#include "tests/support/exchange_samples.h"
#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ExchangeCommands, ImportWritesNothingOnErrorsAndNeverReplacesUnasked) {
    TempDir dir;
    const std::string strGrid = dir.File("boat.csv");
    const std::string strPpd = dir.File("POLAR.PPD");
    TempDir::Write(strGrid, "TWA;6;12\n40;4;5\n52;x;6\n");
    const CliRun bad = Polarctl({"import", strGrid, "-o", strPpd});
    EXPECT_EQ(bad.nExit, 1);
    EXPECT_NE(bad.err.find(strGrid + ":3:4: error: expected a boat speed, found 'x'"),
              std::string::npos)
        << bad.err;
    EXPECT_FALSE(std::filesystem::exists(strPpd));
    EXPECT_EQ(Polarctl({"import", strGrid, "-o", strPpd, "--force"}).nExit, 1);
    EXPECT_EQ(TempDir::Read(strPpd),
              "boat,\r\n6.00,40.00,\r\n40.00,4.00,-1\r\n12.00,40.00,\r\n40.00,5.00,-2");

    TempDir::Write(strGrid, "TWA;6\n40;4\n");
    EXPECT_EQ(Polarctl({"import", strGrid, "-o", strPpd}).nExit, 2);  // exists
    const CliRun append =
        Polarctl({"import", strGrid, "-o", strPpd, "--append", "--sail-plan", "Light, air"});
    EXPECT_EQ(append.nExit, 0) << append.err;
    PolarFileContents contents;
    ASSERT_TRUE(LoadPolarFile(strPpd, contents).Ok());
    ASSERT_EQ(contents.aSailPlans.size(), 2u);
    EXPECT_EQ(contents.aSailPlans[1]->m_strName, "Light air");  // no comma in a name
}

TEST(ExchangeCommands, SemicolonGridKeepsItsZerosUnlessRatingCsvIsAskedFor) {
    TempDir dir;
    const std::string strGrid = dir.File("sails.csv");
    TempDir::Write(strGrid, kSailGrid);
    const CliRun guessed = Polarctl({"import", strGrid, "-o", dir.File("grid.ppd")});
    EXPECT_EQ(guessed.nExit, 0) << guessed.err;
    EXPECT_NE(guessed.out.find("(grid): 6 polars, 42 points"), std::string::npos) << guessed.out;
    PolarFileContents grid;
    ASSERT_TRUE(LoadPolarFile(dir.File("grid.ppd"), grid).Ok());
    ASSERT_EQ(grid.aSailPlans.size(), 1u);
    EXPECT_EQ(Points(*grid.aSailPlans[0]),
              "6: 0/0 45/4.1 52/4.8 90/5.9 120/0 150/0 165/0 | "
              "8: 0/0 45/0 52/5.6 90/6.8 120/6.9 150/0 165/0 | "
              "10: 0/0 45/0 52/0 90/7.3 120/7.5 150/6.8 165/0 | "
              "12: 0/0 45/0 52/0 90/7.6 120/0 150/7.2 165/0 | "
              "14: 0/0 45/0 52/0 90/0 120/0 150/0 165/8.3 | "
              "16: 0/0 45/0 52/0 90/0 120/0 150/0 165/0 | ");

    // Asked for, the rating data's reading: 0 is no value, a single value a beat or run.
    const CliRun forced =
        Polarctl({"import", strGrid, "-o", dir.File("rating.ppd"), "--format", "rating-csv"});
    EXPECT_EQ(forced.nExit, 0) << forced.err;
    EXPECT_NE(forced.out.find("(rating-csv)"), std::string::npos) << forced.out;
    PolarFileContents rating;
    ASSERT_TRUE(LoadPolarFile(dir.File("rating.ppd"), rating).Ok());
    ASSERT_EQ(rating.aSailPlans.size(), 1u);
    EXPECT_EQ(Points(*rating.aSailPlans[0]),
              "6: 45/4.1 52/4.8 90/5.9 | 8: 52/5.6 90/6.8 120/6.9 | 10: 90/7.3 120/7.5 150/6.8 | "
              "12: 90/7.6 150/7.2 | 14: 165/8.3 | 16: | ");
    EXPECT_EQ(rating.aSailPlans[0]->m_aPolars[0]->m_fTackingAngle, 45.0f);
}

TEST(ExchangeCommands, ExportByNameAndVmgApply) {
    TempDir dir;
    const std::string strPpd = dir.File("POLAR.PPD");
    TempDir::Write(strPpd, kExampleFileText);
    const std::string strPol = dir.File("light.pol");
    EXPECT_EQ(Polarctl({"export", strPpd, "--sail-plan", "Light", "-o", strPol}).nExit, 0);
    EXPECT_EQ(TempDir::Read(strPol), "TWA\\TWS\t4\n45\t3\n90\t3.9\n");
    EXPECT_EQ(Polarctl({"export", strPpd, "--sail-plan", "Heavy", "-o", strPol}).nExit, 2);

    const CliRun vmg = Polarctl({"vmg", strPpd, "--sail-plan", "1", "--json", "--apply"});
    EXPECT_EQ(vmg.nExit, 0) << vmg.err;
    EXPECT_NE(vmg.out.find("\"upwind_angle\": 45"), std::string::npos) << vmg.out;
    PolarFileContents contents;
    ASSERT_TRUE(LoadPolarFile(strPpd, contents).Ok());
    EXPECT_EQ(contents.aSailPlans[1]->m_aPolars[0]->m_fTackingAngle, 45.0f);
    EXPECT_EQ(contents.aSailPlans[0]->m_aPolars[0]->m_fTackingAngle, 45.0f);  // untouched
}

TEST(ExchangeCommands, ExtensionsCountInAnyCaseForExportAndImport) {
    TempDir dir;
    const std::string strPpd = dir.File("POLAR.PPD");
    TempDir::Write(strPpd, kExampleFileText);
    const std::string strJson = dir.File("main.JSON");
    const CliRun exported = Polarctl({"export", strPpd, "--sail-plan", "Main", "-o", strJson});
    ASSERT_EQ(exported.nExit, 0) << exported.err;
    EXPECT_NE(exported.out.find("(json)"), std::string::npos) << exported.out;
    EXPECT_NE(TempDir::Read(strJson).find("\"vpp\""), std::string::npos);
    const std::string strCsv = dir.File("main.Csv");
    ASSERT_EQ(Polarctl({"export", strPpd, "--sail-plan", "Main", "-o", strCsv}).nExit, 0);
    EXPECT_EQ(TempDir::Read(strCsv).substr(0, 13), "TWA\\TWS;6;12\n");

    // An import whose content does not tell (a byte order mark before the brace) goes by the
    // extension, in any case too.
    const std::string strMarked = dir.File("MARKED.JSON");
    TempDir::Write(strMarked, "\xEF\xBB\xBF" + TempDir::Read(strJson));
    const CliRun imported = Polarctl({"import", strMarked, "-o", dir.File("imported.ppd")});
    ASSERT_EQ(imported.nExit, 0) << imported.err;
    EXPECT_NE(imported.out.find("(json): 2 polars"), std::string::npos) << imported.out;
    TempDir::Write(dir.File("marked.bin"), TempDir::Read(strMarked));
    const CliRun unknown = Polarctl({"import", dir.File("marked.bin"), "-o", dir.File("x.ppd")});
    EXPECT_EQ(unknown.nExit, 2);
    EXPECT_NE(unknown.err.find("give --format grid, lines, json, rating-csv, signalk, plotter-csv, "
                               "targets or hrosailing"),
              std::string::npos)
        << unknown.err;
}

TEST(ExchangeCommands, HelpAndMessagesNameTheFormatsOfTheTable) {
    const std::string strHelp = Polarctl({"--help"}).out;
    EXPECT_NE(strHelp.find("import IN -o POLAR.PPD [--format\n      "
                           "grid|lines|json|rating-csv|signalk|plotter-csv|targets|hrosailing] "
                           "[--sail-plan NAME]"),
              std::string::npos)
        << strHelp;
    EXPECT_NE(strHelp.find("-o OUT [--format\n      "
                           "grid|lines|json|rating-csv|signalk|plotter-csv|targets|hrosailing] "
                           "[--decimal-comma]"),
              std::string::npos);
    TempDir dir;
    TempDir::Write(dir.File("POLAR.PPD"), kExampleFileText);
    const CliRun noFormat =
        Polarctl({"export", dir.File("POLAR.PPD"), "--sail-plan", "0", "-o", dir.File("out.dat")});
    EXPECT_EQ(noFormat.nExit, 2);
    EXPECT_NE(noFormat.err.find("(or an OUT ending in .pol, .csv, .txt, .plr, .json or .nxp)"),
              std::string::npos)
        << noFormat.err;
    const CliRun badName =
        Polarctl({"import", dir.File("POLAR.PPD"), "-o", dir.File("x.ppd"), "--format", "xml"});
    EXPECT_EQ(badName.nExit, 2);
    EXPECT_NE(badName.err.find("--format takes grid, lines, json, rating-csv, signalk, "
                               "plotter-csv, targets or hrosailing"),
              std::string::npos);
}

TEST(ExchangeCommands, EverySailPlanToAndFromTheFormatsThatHoldSeveral) {
    TempDir dir;
    const std::string strPpd = dir.File("POLAR.PPD");
    TempDir::Write(strPpd, kExampleFileText);
    // Without --sail-plan, Signal K's JSON and hrosailing's CSV take every sail plan; the others
    // need one.
    for (const char* pszFormat : {"signalk", "hrosailing"}) {
        const std::string strOut = dir.File(std::string("all.") + pszFormat);
        const CliRun exported = Polarctl({"export", strPpd, "--format", pszFormat, "-o", strOut});
        ASSERT_EQ(exported.nExit, 0) << exported.err;
        EXPECT_NE(exported.out.find("exported \"Light\""), std::string::npos) << exported.out;
        const std::string strBack = dir.File(std::string("back-") + pszFormat + ".ppd");
        const CliRun imported = Polarctl({"import", strOut, "-o", strBack});
        ASSERT_EQ(imported.nExit, 0) << imported.err;
        EXPECT_NE(imported.out.find("imported \"Main\" (" + std::string(pszFormat) + "): 2 polars"),
                  std::string::npos)
            << imported.out;
        EXPECT_NE(imported.out.find("imported \"Light\""), std::string::npos) << imported.out;
        PolarFileContents contents;
        ASSERT_TRUE(LoadPolarFile(strBack, contents).Ok());
        ASSERT_EQ(contents.aSailPlans.size(), 2u);
        EXPECT_EQ(contents.aSailPlans[1]->m_strName, "Light");
    }
    const CliRun one = Polarctl({"export", strPpd, "-o", dir.File("x.pol")});
    EXPECT_EQ(one.nExit, 2);
    EXPECT_NE(one.err.find("a grid file holds one sail plan; export needs --sail-plan"),
              std::string::npos)
        << one.err;
}

TEST(ExchangeCommands, ExportSaysWhatTheFormatCannotHoldAndRefusesWhatItCannotBe) {
    TempDir dir;
    const std::string strPpd = dir.File("POLAR.PPD");
    TempDir::Write(strPpd, kExampleFileText);
    // A grid keeps no name; the tacking angle 45 at 6 kn is not the curve's best (40).
    const CliRun grid = Polarctl(
        {"export", strPpd, "--sail-plan", "Main", "-o", dir.File("main.csv"), "--decimal-comma"});
    ASSERT_EQ(grid.nExit, 0) << grid.err;
    EXPECT_NE(grid.err.find("main.csv: the sail plan's name \"Main\" is not held"),
              std::string::npos)
        << grid.err;
    EXPECT_NE(grid.err.find("tacking angles of \"Main\" are not held"), std::string::npos);
    EXPECT_EQ(TempDir::Read(dir.File("main.csv")).substr(0, 24), "TWA\\TWS;6;12\n40;4,1;6,2\n");
    const CliRun comma = Polarctl({"export", strPpd, "--sail-plan", "Main", "--format", "signalk",
                                   "-o", dir.File("main.json"), "--decimal-comma"});
    EXPECT_EQ(comma.nExit, 2);
    EXPECT_NE(comma.err.find("--decimal-comma is for the grid"), std::string::npos);
    // The chart plotter's table takes 3 wind speeds: nothing is written, and the reason is said.
    const std::string strPlotter = dir.File("plotter.csv");
    const CliRun refused = Polarctl(
        {"export", strPpd, "--sail-plan", "Main", "--format", "plotter-csv", "-o", strPlotter});
    EXPECT_EQ(refused.nExit, 1);
    EXPECT_NE(
        refused.err.find("\"Main\" cannot be a plotter-csv file: the chart plotter's table "
                         "takes at least 3 wind speeds; the sail plan has 2; nothing written"),
        std::string::npos)
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(strPlotter));
}

}  // namespace

namespace {

// The read-change-write commands on a data file that another program holds or changes.
TEST(SharedDataFile, ACommandThatRewritesTheFileWaitsForItsLockThenNamesIt) {
    TempDir dir;
    const std::string strGrid = dir.File("boat.pol");
    const std::string strPpd = dir.File("POLAR.PPD");
    TempDir::Write(strGrid, "TWA\t6\n40\t4\n90\t5.2\n");
    const std::string strBefore = "Main,\r\n6.00,40.00,\r\n40.00,4.00,90.00,5.20,-2";
    TempDir::Write(strPpd, strBefore);
    FileLock other;
    ASSERT_TRUE(other.Acquire(strPpd).Ok());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"import", strGrid, "-o", strPpd, "--append"},
          std::vector<std::string>{"vmg", strPpd, "--apply"}}) {
        const CliRun run = Polarctl(args);
        EXPECT_EQ(run.nExit, 1) << args[0];
        EXPECT_NE(run.err.find(strPpd + ": another program is changing it"), std::string::npos)
            << run.err;
        EXPECT_EQ(TempDir::Read(strPpd), strBefore);
    }
    // Only the file written back is locked: an output elsewhere is not waited for.
    EXPECT_EQ(Polarctl({"normalize", strPpd, "-o", dir.File("copy.ppd")}).nExit, 0);
    other.Release();
    EXPECT_EQ(Polarctl({"import", strGrid, "-o", strPpd, "--append"}).nExit, 0);
}

TEST(SharedDataFile, AChangeMadeWhileTheCommandWorkedIsNotWrittenOver) {
    TempDir dir;
    const std::string strPpd = dir.File("POLAR.PPD");
    TempDir::Write(strPpd, "Main,\r\n6.00,40.00,\r\n40.00,4.00,90.00,5.20,-2");
    // A program that does not lock rewrites the file between polarctl's reading and its
    // writing: the second reading of the file is the check before the replace.
    const std::string strTheirs = "Theirs,\r\n8.00,40.00,\r\n40.00,5.00,90.00,6.10,-2";
    int nReads = 0;
    SetFileFaultHook([&](FileOperation op, const std::string& strPath) {
        if (op == FileOperation::Read && strPath == strPpd && ++nReads == 2) {
            TempDir::Write(strPpd, strTheirs);
        }
        return 0;
    });
    const CliRun run = Polarctl({"normalize", strPpd});
    SetFileFaultHook(nullptr);
    EXPECT_EQ(run.nExit, 1);
    EXPECT_NE(run.err.find(strPpd + " was changed by another program since polarctl read it"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(TempDir::Read(strPpd), strTheirs);
}

}  // namespace
