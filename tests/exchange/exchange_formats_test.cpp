// The formats of other sailing software: reading, writing, guessing, and the curve's best angles.
#include <gtest/gtest.h>

#include "exchange/exchange.h"
#include "tests/support/exchange_samples.h"
#include "tests/support/polar_builders.h"

namespace {

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

TEST(FormatGuess, SemicolonGridsStayGridsUnlessTheyHoldBeatOrRunRows) {
    EXPECT_EQ(GuessedName(kSailGrid, "sails.csv"), "grid");
    // Written from 180 down: its single-value row is in order, not a run row.
    EXPECT_EQ(GuessedName("twa/tws;6;8\n180;3,4;4,5\n150;0;5,3\n90;6;6,9\n", "x"), "grid");
    EXPECT_EQ(GuessedName("twa/tws;6\n180;3,4\n150;0\n90;6\n", "x"), "grid");
    // A blank is no value, and rating rows write 0 for the others.
    EXPECT_EQ(GuessedName("twa/tws;6;8\n52;5;6\n90;6;7\n40;4,5;\n", "x"), "grid");

    // Beat rows in ascending order and run rows past the last angle: rating data at higher
    // wind speeds, recognised by both blocks.
    EXPECT_EQ(GuessedName("twa/tws;14;16;20\n38,2;6,9;0;0\n38,5;0;7,1;0\n39,1;0;0;7,3\n"
                          "52;7,2;7,3;7,5\n90;8;8,2;8,4\n150;7,4;7,8;8,4\n"
                          "172,3;7;0;0\n176,1;0;7,5;0\n178;0;0;8,2\n",
                          "x"),
              "rating-csv");
    // Two runs at 180 degrees.
    EXPECT_EQ(GuessedName("twa/tws;16;20\n52;7,3;7,5\n90;8,2;8,4\n180;7;0\n180;0;8,2\n", "x"),
              "rating-csv");
    // What export writes is read back as what it is, one wind speed included.
    SAILPLAN plan("Main");
    AddPolar(plan, 6, 45, {{40, 4.1f}, {52, 5.12f}, {90, 6}, {180, 3.4f}});
    EXPECT_EQ(GuessedName(ExportRatingCsv(plan), "x"), "rating-csv");
    AddPolar(plan, 12, 40, {{40, 6.2f}, {52, 6.93f}, {90, 7.5f}, {180, 6.1f}});
    EXPECT_EQ(GuessedName(ExportRatingCsv(plan), "x"), "rating-csv");
    EXPECT_EQ(GuessedName(ExportGrid(plan, ';'), "x.csv"), "grid");
}

}  // namespace
