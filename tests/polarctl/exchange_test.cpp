#include "apps/polarctl/exchange/exchange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "apps/polarctl/exchange/polar_curve.h"
#include "apps/polarctl/polarctl.h"
#include "data/number_text.h"
#include "data/polar_file.h"
#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/temp_dir.h"

namespace {

// "ws: a:s a:s | ws: ..." for compact comparisons.
std::string Points(const SAILPLAN& plan) {
    std::string s;
    for (const auto& p : plan.m_aPolars) {
        s += FormatExchangeNumber(p->m_fWindSpeed) + ":";
        for (const auto& v : p->m_aVectors) {
            s += ' ';  // not `" " + string`, which trips GCC 12's -Wrestrict at -O3
            s += FormatExchangeNumber(v->m_fAngle) + "/" + FormatExchangeNumber(v->m_fSpeed);
        }
        s += " | ";
    }
    return s;
}

TEST(GridFormat, ReadsTheUsualVariants) {
    // A title line, tabs, a decimal comma, a blank cell, CR LF.
    const ImportResult tabs = ImportGrid(
        "My boat\r\nTWA\\TWS\t6\t12\r\n52\t5,1\t6.8\r\n90\t\t7.5\r\n40\t4.2\t6\r\n", "Main");
    ASSERT_FALSE(tabs.error) << tabs.error->strMessage;
    EXPECT_EQ(Points(*tabs.pSailPlan), "6: 40/4.2 52/5.1 | 12: 40/6 52/6.8 90/7.5 | ");
    // ';' with decimal commas, ',' with points, blanks between cells; any case of the header.
    const ImportResult semicolons = ImportGrid("twa/tws;6;12\n52;5,1;6,8\n", "x");
    EXPECT_EQ(Points(*semicolons.pSailPlan), "6: 52/5.1 | 12: 52/6.8 | ");
    const ImportResult commas = ImportGrid("TWA,6,12\n52,5.1,,\n", "x");
    EXPECT_EQ(Points(*commas.pSailPlan), "6: 52/5.1 | 12: | ");
    const ImportResult blanks = ImportGrid("TWA   6  12\n52  5.1   6.8\n", "x");
    EXPECT_EQ(Points(*blanks.pSailPlan), "6: 52/5.1 | 12: 52/6.8 | ");
    // Wind speeds out of order are sorted; the tacking angle is the best upwind angle.
    const ImportResult unsorted = ImportGrid("TWA\t12\t6\n40\t6\t4\n90\t7\t5\n", "x");
    EXPECT_EQ(unsorted.pSailPlan->m_aPolars[0]->m_fWindSpeed, 6.0f);
    EXPECT_EQ(unsorted.pSailPlan->m_aPolars[0]->m_fTackingAngle,
              FindBestVmg(*unsorted.pSailPlan->m_aPolars[0])->fUpwindAngle);
}

TEST(GridFormat, BrokenInputsSayWhereAndWhat) {
    const ImportResult noHeader = ImportGrid("angle\tspeed\n1\t2\n", "x");
    ASSERT_TRUE(noHeader.error);
    EXPECT_NE(noHeader.error->strMessage.find("TWA"), std::string::npos);
    const ImportResult badCell = ImportGrid("TWA\t6\t12\n40\t4\t5\n52\t5.1\tfast\n", "x");
    ASSERT_TRUE(badCell.error);
    EXPECT_EQ(badCell.error->nLine, 3);
    EXPECT_EQ(badCell.error->nColumn, 8);
    EXPECT_NE(badCell.error->strMessage.find("'fast'"), std::string::npos);
    EXPECT_EQ(Points(*badCell.pSailPlan), "6: 40/4 | 12: 40/5 | ");  // the rows before it
    const ImportResult tooMany = ImportGrid("TWA\t6\n40\t4\t5\n", "x");
    ASSERT_TRUE(tooMany.error);
    EXPECT_EQ(tooMany.error->nColumn, 6);
    EXPECT_TRUE(ImportGrid("TWA\t6\n200\t4\n", "x").error);  // an angle beyond 180
}

TEST(LinesFormat, ReadsCommentsTitleAndTheTackingAngle) {
    const ImportResult result = ImportLines(
        "pol-file of a boat\n; comment\n! "
        "another\n6\t0\t0\t44\t4.6\t90\t6\t180\t3.4\n12\t0\t0\t90\t7.5\t40\t6.1\n",
        "x");
    ASSERT_FALSE(result.error) << result.error->strMessage;
    EXPECT_EQ(Points(*result.pSailPlan), "6: 0/0 44/4.6 90/6 180/3.4 | 12: 0/0 40/6.1 90/7.5 | ");
    // 44 is the second angle and the best upwind point: the tacking angle.
    EXPECT_EQ(result.pSailPlan->m_aPolars[0]->m_fTackingAngle, 44.0f);
    // 90 is the second angle but 40 is better upwind: the tacking angle comes from the curve.
    EXPECT_NE(result.pSailPlan->m_aPolars[1]->m_fTackingAngle, 90.0f);
    const ImportResult odd = ImportLines("6\t40\t4.6\t90\n", "x");
    ASSERT_TRUE(odd.error);
    EXPECT_EQ(odd.error->nLine, 1);
    // An angle beyond 180 is refused, as in a grid (an export could not be read back).
    const ImportResult wide = ImportLines("6\t40\t4.6\t900\t4\n", "x");
    ASSERT_TRUE(wide.error);
    EXPECT_EQ(wide.error->nColumn, 10);
}

TEST(RatingJson, ReadsAnglesSpeedsAndBeatAngles) {
    const char* pszJson = R"({"name": "Boat 42", "vpp": {"angles": [52, 90], "speeds": [6, 12],
        "52": [5.1, 6.8], "90": [6.0, null], "beat_angle": [44.5, 40.1], "run_angle": [150, 170]}})";
    const ImportResult result = ImportRatingJson(pszJson, "");
    ASSERT_FALSE(result.error) << result.error->strMessage;
    EXPECT_EQ(result.pSailPlan->m_strName, "Boat 42");
    EXPECT_EQ(Points(*result.pSailPlan), "6: 52/5.1 90/6 | 12: 52/6.8 | ");
    EXPECT_EQ(result.pSailPlan->m_aPolars[0]->m_fTackingAngle, 44.5f);
    const ImportResult missing =
        ImportRatingJson(R"({"vpp": {"angles": [52], "speeds": [6]}})", "x");
    ASSERT_TRUE(missing.error);
    EXPECT_NE(missing.error->strMessage.find("\"52\""), std::string::npos);
    const ImportResult broken = ImportRatingJson("{\n  \"vpp\": [1,\n", "x");
    ASSERT_TRUE(broken.error);
    EXPECT_EQ(broken.error->nLine, 3);
}

TEST(Exchange, ExportsAndImportsGiveBackTheSamePoints) {
    SAILPLAN plan("Main");
    AddPolar(plan, 6, 45, {{40, 4.1f}, {52, 5.12f}, {90, 6}, {180, 3.4f}});
    AddPolar(plan, 12, 40, {{40, 6.2f}, {52, 6.93f}, {90, 7.5f}, {180, 6.1f}});
    for (const std::string& text : {ExportGrid(plan, '\t'), ExportGrid(plan, ';')}) {
        EXPECT_EQ(Points(*ImportGrid(text, "x").pSailPlan), Points(plan));
    }
    EXPECT_EQ(Points(*ImportLines(ExportLines(plan), "x").pSailPlan), Points(plan));
    // Rating JSON states the best upwind and downwind angles: between two points they come
    // back as points of their own, on the curve but for the rise that keeps them the best.
    const ImportResult json = ImportRatingJson(ExportRatingJson(plan), "");
    EXPECT_EQ(Points(*json.pSailPlan),
              "6: 40/4.1 46.37/4.65 52/5.12 90/6 157.74/4.05 180/3.4 | "
              "12: 40/6.2 52/6.93 90/7.5 171.85/6.24 180/6.1 | ");
    for (const auto& pVector : json.pSailPlan->m_aPolars[0]->m_aVectors) {
        EXPECT_NEAR(pVector->m_fSpeed, *SpeedOnCurve(*plan.m_aPolars[0], pVector->m_fAngle), 0.016);
    }
    EXPECT_EQ(FindBestVmg(*json.pSailPlan->m_aPolars[0])->fUpwindAngle, 46.37f);
    EXPECT_EQ(json.pSailPlan->m_aPolars[1]->m_fTackingAngle, 40.0f);

    // A grid comes back with its own values.
    const std::string grid = "TWA\\TWS\t6\t10\n38\t3.9\t5.61\n90\t6\t7.5\n150\t4.2\t6.23\n";
    EXPECT_EQ(ExportGrid(*ImportGrid(grid, "x").pSailPlan, '\t'), grid);
}

TEST(Exchange, DifferentAngleSetsExportTheUnionInterpolatedInsideEachRange) {
    SAILPLAN plan("Main");
    AddPolar(plan, 6, 45, {{40, 4}, {100, 7}});
    AddPolar(plan, 12, 40, {{70, 8}, {150, 6}});
    EXPECT_EQ(ExportGrid(plan, '\t'),
              "TWA\\TWS\t6\t12\n40\t4\t\n70\t5.5\t8\n100\t7\t7.25\n150\t\t6\n");
    EXPECT_EQ(ExportLines(plan), "6\t40\t4\t70\t5.5\t100\t7\n12\t70\t8\t100\t7.25\t150\t6\n");
}

TEST(Vmg, KnownOptima) {
    SAILPLAN plan("x");
    const PERF_POLAR& constant = AddPolar(plan, 10, 0, {{0, 5}, {90, 5}, {180, 5}});
    const BestVmg c = *FindBestVmg(constant);
    EXPECT_EQ(c.fUpwindAngle, 0.0f);
    EXPECT_NEAR(c.fUpwindVmg, 5, 1e-5);
    EXPECT_EQ(c.fDownwindAngle, 180.0f);
    // Speed a/9 from (0, 0) to (90, 10): VMG a cos a / 9 is largest where a tan a = 1, at
    // 0.8603 rad = 49.29 degrees.
    const PERF_POLAR& ramp = AddPolar(plan, 12, 0, {{0, 0}, {90, 10}});
    const BestVmg r = *FindBestVmg(ramp);
    EXPECT_NEAR(r.fUpwindAngle, 49.29, 0.1);
    EXPECT_NEAR(r.fUpwindVmg, 49.29 / 9.0 * std::cos(49.29 * M_PI / 180), 0.01);
    EXPECT_NEAR(r.fDownwindVmg, 0, 1e-5);  // nothing downwind of the beam on 0..90
    EXPECT_FALSE(FindBestVmg(AddPolar(plan, 14, 0, {})));
}

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

// One sail's polar from a sail set: 0 where the sail is not used. 14 kn has one value only,
// 16 kn none, 12 kn zeros between its values; rows with a single value open and close it.
constexpr const char* kSailGrid =
    "twa/tws;6;8;10;12;14;16\n"
    "0;0;0;0;0;0;0\n"
    "45;4,1;0;0;0;0;0\n"
    "52;4,8;5,6;0;0;0;0\n"
    "90;5,9;6,8;7,3;7,6;0;0\n"
    "120;0;6,9;7,5;0;0;0\n"
    "150;0;0;6,8;7,2;0;0\n"
    "165;0;0;0;0;8,3;0\n";

TEST(FormatGuess, SemicolonGridsStayGridsUnlessTheyHoldBeatOrRunRows) {
    EXPECT_EQ(GuessFormat(kSailGrid, "sails.csv"), ExchangeFormat::Grid);
    // Written from 180 down: its single-value row is in order, not a run row.
    EXPECT_EQ(GuessFormat("twa/tws;6;8\n180;3,4;4,5\n150;0;5,3\n90;6;6,9\n", "x"),
              ExchangeFormat::Grid);
    EXPECT_EQ(GuessFormat("twa/tws;6\n180;3,4\n150;0\n90;6\n", "x"), ExchangeFormat::Grid);
    // A blank is no value, and rating rows write 0 for the others.
    EXPECT_EQ(GuessFormat("twa/tws;6;8\n52;5;6\n90;6;7\n40;4,5;\n", "x"), ExchangeFormat::Grid);

    // Beat rows in ascending order and run rows past the last angle: rating data at higher
    // wind speeds, recognised by both blocks.
    EXPECT_EQ(GuessFormat("twa/tws;14;16;20\n38,2;6,9;0;0\n38,5;0;7,1;0\n39,1;0;0;7,3\n"
                          "52;7,2;7,3;7,5\n90;8;8,2;8,4\n150;7,4;7,8;8,4\n"
                          "172,3;7;0;0\n176,1;0;7,5;0\n178;0;0;8,2\n",
                          "x"),
              ExchangeFormat::RatingCsv);
    // Two runs at 180 degrees.
    EXPECT_EQ(GuessFormat("twa/tws;16;20\n52;7,3;7,5\n90;8,2;8,4\n180;7;0\n180;0;8,2\n", "x"),
              ExchangeFormat::RatingCsv);
    // What export writes is read back as what it is, one wind speed included.
    SAILPLAN plan("Main");
    AddPolar(plan, 6, 45, {{40, 4.1f}, {52, 5.12f}, {90, 6}, {180, 3.4f}});
    EXPECT_EQ(GuessFormat(ExportRatingCsv(plan), "x"), ExchangeFormat::RatingCsv);
    AddPolar(plan, 12, 40, {{40, 6.2f}, {52, 6.93f}, {90, 7.5f}, {180, 6.1f}});
    EXPECT_EQ(GuessFormat(ExportRatingCsv(plan), "x"), ExchangeFormat::RatingCsv);
    EXPECT_EQ(GuessFormat(ExportGrid(plan, ';'), "x.csv"), ExchangeFormat::Grid);
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

}  // namespace
