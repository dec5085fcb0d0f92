// The formats of instruments, plotters, servers and libraries: each read from a file written by
// hand after its documentation's own example, round trips of a sample and of a wide sail plan to
// the format's precision, the limits and errors of each, and the notes of what an export loses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "exchange/exchange.h"
#include "tests/support/exchange_samples.h"
#include "tests/support/polar_builders.h"

namespace {

// The points of a sail plan within a hundredth: "ws: angle/speed ..." rounded as files write.
bool HoldsPoint(const SAILPLAN& plan, float fWindSpeed, float fAngle, float fSpeed) {
    for (const auto& pPolar : plan.m_aPolars) {
        if (std::fabs(pPolar->m_fWindSpeed - fWindSpeed) > 0.0051f) {
            continue;
        }
        for (const auto& pVector : pPolar->m_aVectors) {
            if (std::fabs(pVector->m_fAngle - fAngle) <= 0.0051f &&
                std::fabs(pVector->m_fSpeed - fSpeed) <= 0.0051f) {
                return true;
            }
        }
    }
    return false;
}

// Every point and tacking angle of `original` in `back`; the first few misses, for the message.
std::string Missing(const SAILPLAN& original, const SAILPLAN& back) {
    std::string misses;
    int n = 0;
    for (const auto& pPolar : original.m_aPolars) {
        for (const auto& pVector : pPolar->m_aVectors) {
            if (!HoldsPoint(back, pPolar->m_fWindSpeed, pVector->m_fAngle, pVector->m_fSpeed) &&
                n++ < 3) {
                misses += FormatExchangeNumber(pPolar->m_fWindSpeed) + " kn " +
                          FormatExchangeNumber(pVector->m_fAngle) + "; ";
            }
        }
    }
    if (original.m_aPolars.size() != back.m_aPolars.size()) {
        misses += "polar count; ";
    }
    for (std::size_t i = 0; i < original.m_aPolars.size() && i < back.m_aPolars.size(); ++i) {
        if (std::fabs(original.m_aPolars[i]->m_fTackingAngle - back.m_aPolars[i]->m_fTackingAngle) >
            0.0051f) {
            misses += "tacking angle at " +
                      FormatExchangeNumber(original.m_aPolars[i]->m_fWindSpeed) + " kn; ";
        }
    }
    return misses;
}

// 181 angles (0 to 180) and 25 wind speeds (4 to 28 kn), speeds to the hundredth; every polar's
// tacking angle its best upwind angle, as an import sets it.
SAILPLAN WideSailPlan() {
    SAILPLAN plan("Wide, 181 x 25");
    for (int w = 0; w < 25; ++w) {
        const float fWindSpeed = 4.0f + static_cast<float>(w);
        plan.InsertPolar(plan.GetPolarCount(), fWindSpeed, 0);
        PERF_POLAR& polar = *plan.m_aPolars.back();
        for (int a = 0; a <= 180; ++a) {
            const double dRadians = a * 3.14159265358979 / 180.0;
            // Never 0: the rating data's CSV and hrosailing read 0 as no value.
            const double dSpeed =
                (1.5 + 0.3 * fWindSpeed) * (0.08 + 0.92 * std::pow(std::sin(dRadians * 0.75), 0.7));
            polar.InsertVector(polar.GetVectorCount(), static_cast<float>(a),
                               static_cast<float>(std::round(dSpeed * 100.0) / 100.0));
        }
        polar.m_fTackingAngle = FindBestVmg(polar)->fUpwindAngle;
    }
    return plan;
}

SAILPLAN ExampleWithBestTacking() {
    SailPlanArray plans = ExampleSailPlans();
    SAILPLAN plan(plans[0]->m_strName);
    for (const auto& pPolar : plans[0]->m_aPolars) {
        PERF_POLAR& polar = AddPolar(plan, pPolar->m_fWindSpeed, 0, {});
        for (const auto& pVector : pPolar->m_aVectors) {
            polar.InsertVector(polar.GetVectorCount(), pVector->m_fAngle, pVector->m_fSpeed);
        }
    }
    // A third wind speed, as the plotter's table and the race targets need.
    AddPolar(plan, 20, 0, {{40, 6.8f}, {60, 7.6f}, {90, 8.1f}, {120, 8.3f}, {150, 7.7f}});
    for (auto& pPolar : plan.m_aPolars) {
        pPolar->m_fTackingAngle = FindBestVmg(*pPolar)->fUpwindAngle;
    }
    return plan;
}

// The signalk data model's shape, by hand: a polar object with its name, angle data, optimal
// beats and gybes in radians and m/s.
constexpr const char* kSignalKPolar = R"({
  "id": "1c6e3c2a-1b1e-4a61-9a7e-0c2a9f4b5d10",
  "name": "Main and jib",
  "description": "light air",
  "windData": [
    {"trueWindSpeed": 5.144444,
     "optimalBeats": [[0.7330383, 3.086667]],
     "optimalGybes": [[2.7925268, 3.601111]],
     "angleData": [[0.9075712, 3.292444], [1.5707963, 3.755444], [2.3561945, 3.652556]]}
  ]
})";

// The server's older API answer, as its published example lists it: polars by id, the angles
// once in radians, per wind speed the speeds in m/s (the second wind speed shortened here).
constexpr const char* kSignalKApi = R"({
  "85a9b66d-d01e-4a5a-912d-4a6b13a4db6d": {
    "uuid": "85a9b66d-d01e-4a5a-912d-4a6b13a4db6d",
    "name": "aava",
    "trueWindSpeedLabelUnit": "kn",
    "trueWindAngles": [0.9075712110370513, 1.0471975511965976, 1.3089969389957472,
                       1.5707963267948966, 1.9198621771937625, 2.0943951023931953,
                       2.356194490192345, 2.6179938779914944],
    "polarData": [
      {"trueWindSpeed": 3.086664, "trueWindSpeedLabel": "6",
       "polarSpeeds": [2.72140876, 2.88603084, 3.0352196000000005, 3.0352196000000005,
                       2.92204192, 2.83973088, 2.5773644399999998, 2.1812425600000003]},
      {"trueWindSpeed": 4.115552, "trueWindSpeedLabel": "8",
       "polarSpeeds": [3.215275, 3.38504152, 3.5085080800000004, 3.5085080800000004]}
    ]
  }
})";

TEST(SignalKJson, ReadsTheDataModelsPolarAndTheOlderApiByHand) {
    const ImportResult model = ImportSignalKJson(kSignalKPolar, "");
    ASSERT_FALSE(model.error) << model.error->strMessage;
    EXPECT_EQ(model.pSailPlan->m_strName, "Main and jib");
    EXPECT_EQ(Points(*model.pSailPlan), "10: 42/6 52/6.4 90/7.3 135/7.1 160/7 | ");
    EXPECT_FLOAT_EQ(model.pSailPlan->m_aPolars[0]->m_fTackingAngle, 42.0f);  // the beat

    const ImportResult api = ImportSignalKJson(kSignalKApi, "");
    ASSERT_FALSE(api.error) << api.error->strMessage;
    EXPECT_EQ(api.pSailPlan->m_strName, "aava");
    EXPECT_EQ(Points(*api.pSailPlan),
              "6: 52/5.29 60/5.61 75/5.9 90/5.9 110/5.68 120/5.52 135/5.01 150/4.24 | "
              "8: 52/6.25 60/6.58 75/6.82 90/6.82 | ");
    EXPECT_EQ(GuessedName(kSignalKPolar, "x.json"), "signalk");
    EXPECT_EQ(GuessedName(kSignalKApi, "x.json"), "signalk");
}

TEST(SignalKJson, EverySailPlanWithItsNameAndErrorsWithTheirPlace) {
    const SailPlanArray plans = ExampleSailPlans();
    const std::string text = ExportSignalKJson({plans[0].get(), plans[1].get()});
    const ImportResult back = ImportSignalKJson(text, "ignored for several");
    ASSERT_FALSE(back.error) << back.error->strMessage;
    ASSERT_EQ(back.aMoreSailPlans.size(), 1u);
    EXPECT_EQ(back.pSailPlan->m_strName, "Main");
    EXPECT_EQ(back.aMoreSailPlans[0]->m_strName, "Light");
    EXPECT_EQ(Missing(*plans[0], *back.pSailPlan).find("kn "), std::string::npos);
    EXPECT_EQ(Missing(*plans[1], *back.aMoreSailPlans[0]).find("kn "), std::string::npos);
    // The same sail plans give the same ids: a file exported twice does not change.
    EXPECT_EQ(ExportSignalKJson({plans[0].get(), plans[1].get()}), text);

    const ImportResult broken = ImportSignalKJson("{\n  \"windData\": [1,\n", "x");
    ASSERT_TRUE(broken.error);
    EXPECT_EQ(broken.error->nLine, 3);
    const ImportResult wrong = ImportSignalKJson(R"({"windData": [{"angleData": []}]})", "x");
    ASSERT_TRUE(wrong.error);
    EXPECT_NE(wrong.error->strMessage.find("trueWindSpeed"), std::string::npos);
}

// The chart plotter's documented layout: TWS, beat angle and VMG, run angle and VMG, TWA rows.
constexpr const char* kPlotterTable =
    "TWS,6,10,14\n"
    "Beat angle,44,41,39\n"
    "Beat VMG,3.6,4.6,4.9\n"
    "Run angle,150,165,172\n"
    "Run VMG,4.1,5.9,7.3\n"
    "52,5.3,6.6,7.1\n"
    "90,5.9,7.3,7.8\n"
    "135,5.2,6.9,7.7\n";

TEST(PlotterCsv, ReadsTheDocumentedTableInBothLayoutsAndRefusesTooLittle) {
    std::string semicolons = kPlotterTable;
    std::replace(semicolons.begin(), semicolons.end(), ',', ';');
    for (const std::string& text : {std::string(kPlotterTable), semicolons}) {
        EXPECT_EQ(GuessedName(text, "x.csv"), "plotter-csv");
        const ImportResult result = ImportPlotterCsv(text, "x");
        ASSERT_FALSE(result.error) << result.error->strMessage;
        const SAILPLAN& plan = *result.pSailPlan;
        ASSERT_EQ(plan.GetPolarCount(), 3);
        // The beat and run rows become points: speed = VMG / |cos angle|; the beat is the
        // tacking angle.
        EXPECT_TRUE(HoldsPoint(plan, 6, 44, 3.6f / std::cos(44 * 3.14159265f / 180)));
        EXPECT_TRUE(HoldsPoint(plan, 14, 172, 7.3f / std::fabs(std::cos(172 * 3.14159265f / 180))));
        EXPECT_TRUE(HoldsPoint(plan, 10, 90, 7.3f));
        EXPECT_FLOAT_EQ(plan.m_aPolars[1]->m_fTackingAngle, 41.0f);
    }
    const ImportResult twoSpeeds = ImportPlotterCsv("TWS,6,10\n52,5,6\n90,6,7\n135,5,6\n", "x");
    ASSERT_TRUE(twoSpeeds.error);
    EXPECT_EQ(twoSpeeds.error->nLine, 1);
    EXPECT_NE(twoSpeeds.error->strMessage.find("at least 3 wind speeds"), std::string::npos);
    const ImportResult twoAngles = ImportPlotterCsv("TWS,6,10,14\n52,5,6,7\n90,6,7,8\n", "x");
    ASSERT_TRUE(twoAngles.error);
    EXPECT_NE(twoAngles.error->strMessage.find("at least 3 true wind angles; this one has 2"),
              std::string::npos);
    const ImportResult bad = ImportPlotterCsv("TWS,6,10,14\n52,5,six,7\n", "x");
    ASSERT_TRUE(bad.error);
    EXPECT_EQ(bad.error->nLine, 2);
    EXPECT_EQ(bad.error->nColumn, 6);
    SAILPLAN two("two");
    AddPolar(two, 6, 45, {{45, 4}, {90, 5}, {150, 4}});
    AddPolar(two, 10, 45, {{45, 5}, {90, 6}, {150, 5}});
    EXPECT_NE(PlotterCsvRefusal(two).find("at least 3 wind speeds"), std::string::npos);
}

// The race instruments' documented layout: a heading row, then per wind speed target boat
// speed and angle pairs, the first the best upwind, the last the best downwind.
constexpr const char* kTargetTable =
    "TWS\tTBS1\tTWA1\tTBS2\tTWA2\tTBS3\tTWA3\tTBS4\tTWA4\tTBS5\tTWA5\n"
    "6\t5.0\t44\t5.4\t60\t5.9\t90\t5.2\t135\t4.6\t150\n"
    "10\t6.1\t41\t6.7\t60\t7.3\t90\t6.9\t135\t6.3\t165\n"
    "14\t6.4\t39\t7.1\t60\t7.8\t90\t7.7\t135\t7.5\t172\n";

TEST(TargetTable, ReadsTheDocumentedTableAndSaysItsLimits) {
    EXPECT_EQ(GuessedName(kTargetTable, "x"), "targets");
    const ImportResult result = ImportTargetTable(kTargetTable, "x");
    ASSERT_FALSE(result.error) << result.error->strMessage;
    EXPECT_EQ(Points(*result.pSailPlan),
              "6: 44/5 60/5.4 90/5.9 135/5.2 150/4.6 | 10: 41/6.1 60/6.7 90/7.3 135/6.9 165/6.3 | "
              "14: 39/6.4 60/7.1 90/7.8 135/7.7 172/7.5 | ");
    EXPECT_FLOAT_EQ(result.pSailPlan->m_aPolars[2]->m_fTackingAngle, 39.0f);
    std::string commas = kTargetTable;
    std::replace(commas.begin(), commas.end(), '\t', ',');
    EXPECT_EQ(Points(*ImportTargetTable(commas, "x").pSailPlan), Points(*result.pSailPlan));

    std::string tooMany = "TWS,TBS1,TWA1\n";
    for (int w = 4; w < 25; ++w) {
        tooMany += std::to_string(w) + ",5,44,5.4,60,5.9,90,5.2,135,4.6,150\n";
    }
    const ImportResult rows = ImportTargetTable(tooMany, "x");
    ASSERT_TRUE(rows.error);
    EXPECT_EQ(rows.error->nLine, 22);
    EXPECT_NE(rows.error->strMessage.find("3 to 20 wind speed rows of 5 to 20"), std::string::npos);
    const ImportResult pairs = ImportTargetTable("TWS,TBS1\n6,5,44,5.4,60,5.9,90,4.6,150\n", "x");
    ASSERT_TRUE(pairs.error);
    EXPECT_EQ(pairs.error->nLine, 2);
    EXPECT_EQ(pairs.error->nColumn, 26);
    EXPECT_NE(pairs.error->strMessage.find("this row has 4 pairs"), std::string::npos);
    const ImportResult few =
        ImportTargetTable("TWS,TBS1\n6,5,44,5.4,60,5.9,90,5.2,135,4.6,150\n", "x");
    ASSERT_TRUE(few.error);
    EXPECT_NE(few.error->strMessage.find("this one has 1 rows"), std::string::npos);
    const ImportResult angle =
        ImportTargetTable("TWS,TBS1\n6,5,44,5.4,260,5.9,90,5.2,135,4.6,150\n", "x");
    ASSERT_TRUE(angle.error);
    EXPECT_EQ(angle.error->nColumn, 12);
}

// hrosailing's own documentation example of a table, as its to_csv writes it.
constexpr const char* kHroTable =
    "PolarDiagramTable\nTWS\n6,8,10,12,14\nTWA\n52,60,75,90,110,120,135\nBSP\n"
    "5.33,6.32,6.96,7.24,7.35\n5.64,6.61,7.14,7.42,7.56\n5.89,6.82,7.28,7.59,7.84\n"
    "5.92,6.98,7.42,7.62,7.93\n5.98,7.07,7.59,8.02,8.34\n5.8,6.95,7.51,7.98,8.52\n"
    "5.2,6.41,7.19,7.66,8.14\n";

TEST(HrosailingCsv, ReadsTheTableAndEverySailOfTheMultiSailLayout) {
    const ImportResult table = ImportHrosailingCsv(kHroTable, "boat");
    ASSERT_FALSE(table.error) << table.error->strMessage;
    EXPECT_EQ(GuessedName(kHroTable, "x.csv"), "hrosailing");
    ASSERT_EQ(table.pSailPlan->GetPolarCount(), 5);
    EXPECT_TRUE(HoldsPoint(*table.pSailPlan, 6, 52, 5.33f));
    EXPECT_TRUE(HoldsPoint(*table.pSailPlan, 14, 135, 8.14f));
    EXPECT_TRUE(HoldsPoint(*table.pSailPlan, 12, 110, 8.02f));

    const char* pszMulti =
        "PolarDiagramMultiSails\nTWS\n6.0,8.0\nJib\nTWA\n52.0,90.0\nBSP\n5.3,6.3\n5.9,7.0\n"
        "\"Spinnaker, big\"\nTWA\n120,150,210\nBSP\n0,6.9\n5.2,6.4\n5.0,6.0\n";
    const ImportResult multi = ImportHrosailingCsv(pszMulti, "x");
    ASSERT_FALSE(multi.error) << multi.error->strMessage;
    EXPECT_EQ(multi.pSailPlan->m_strName, "Jib");
    EXPECT_EQ(Points(*multi.pSailPlan), "6: 52/5.3 90/5.9 | 8: 52/6.3 90/7 | ");
    ASSERT_EQ(multi.aMoreSailPlans.size(), 1u);
    EXPECT_EQ(multi.aMoreSailPlans[0]->m_strName, "Spinnaker, big");
    // 0 is no value; 210 is 150 on the other tack, which has a value already.
    EXPECT_EQ(Points(*multi.aMoreSailPlans[0]), "6: 150/5.2 | 8: 120/6.9 150/6.4 | ");

    const ImportResult bad =
        ImportHrosailingCsv("PolarDiagramTable\nTWS\n6,8\nTWA\n52,90\nBSP\n5.3,6.3\n5.9,x\n", "x");
    ASSERT_TRUE(bad.error);
    EXPECT_EQ(bad.error->nLine, 8);
    EXPECT_EQ(bad.error->nColumn, 5);
    const ImportResult shortRow =
        ImportHrosailingCsv("PolarDiagramTable\nTWS\n6,8\nTWA\n52\nBSP\n5.3\n", "x");
    ASSERT_TRUE(shortRow.error);
    EXPECT_NE(shortRow.error->strMessage.find("expected 2 boat speeds"), std::string::npos);
}

// The line layout with its comments and title, as Expedition writes it, and as Garmin's
// plotters take it in a ".plr" file.
TEST(LinesFormat, ReadsCommentsAndATitleAndGoesByPlr) {
    const char* pszText =
        "POLAR boat 2024\n"
        "! wind speed, then true wind angle and boat speed pairs\n"
        "; light air\n"
        "6\t45\t4.6\t90\t6.0\t150\t4.2\n"
        "\n"
        "10\t41\t5.9\t90\t7.3\t165\t6.0\n";
    EXPECT_EQ(GuessedName(pszText, "boat.plr"), "lines");
    const ImportResult result = ImportLines(pszText, "x");
    ASSERT_FALSE(result.error) << result.error->strMessage;
    EXPECT_EQ(Points(*result.pSailPlan), "6: 45/4.6 90/6 150/4.2 | 10: 41/5.9 90/7.3 165/6 | ");
    // Written back over the union of the angles, each inside its own range.
    EXPECT_EQ(FormatByExtension("boat.plr")->write(*result.pSailPlan, "boat.plr"),
              "6\t45\t4.6\t90\t6\t150\t4.2\n"
              "10\t41\t5.9\t45\t6.01\t90\t7.3\t150\t6.26\t165\t6\n");
}

TEST(InstrumentFormats, TheSampleAndAWideSailPlanComeBackToTheFormatsPrecision) {
    const SAILPLAN sample = ExampleWithBestTacking();
    const SAILPLAN wide = WideSailPlan();
    for (const ExchangeFormat& format : ExchangeFormats()) {
        for (const SAILPLAN* pPlan : {&sample, &wide}) {
            ASSERT_TRUE(format.refusal == nullptr || format.refusal(*pPlan).empty()) << format.name;
            const std::string text = format.write(*pPlan, "out.pol");
            const ImportResult back = format.read(text, "x");
            ASSERT_FALSE(back.error) << format.name << ": " << back.error->strMessage;
            const std::vector<std::string> notes = ExportNotes(format, {pPlan}, text);
            // The race targets hold 20 wind speeds of 20 pairs: what they leave out is said.
            if (format.name == "targets" && pPlan == &wide) {
                ASSERT_EQ(notes.size(), 3u);
                EXPECT_NE(notes[1].find("5 polars"), std::string::npos) << notes[1];
                EXPECT_NE(notes[2].find("points"), std::string::npos) << notes[2];
                continue;
            }
            if (format.name == "targets") {
                continue;  // the sample's angles outside the beat and run are not held
            }
            EXPECT_EQ(Missing(*pPlan, *back.pSailPlan), "")
                << format.name << " " << pPlan->m_strName;
            // Nothing is lost but, where the format has no room for it, the name.
            for (const std::string& note : notes) {
                EXPECT_NE(note.find("name"), std::string::npos) << format.name << ": " << note;
            }
        }
    }
}

TEST(InstrumentFormats, GridAsRoutersReadItAndNotesOfWhatIsLost) {
    SAILPLAN plan("Main");
    AddPolar(plan, 6, 60, {{45, 4.1f}, {90, 5.25f}, {150, 4.4f}});
    AddPolar(plan, 12, 40, {{40, 6.2f}, {90, 7.5f}});
    const ExchangeFormat& grid = *FormatByName("grid");
    EXPECT_EQ(grid.write(plan, "boat.pol"),
              "TWA\\TWS\t6\t12\n40\t0\t6.2\n45\t4.1\t6.33\n90\t5.25\t7.5\n150\t4.4\t0\n");
    EXPECT_EQ(grid.write(plan, "boat.txt"),
              "TWA\\TWS\t6\t12\n40\t\t6.2\n45\t4.1\t6.33\n90\t5.25\t7.5\n150\t4.4\t\n");
    EXPECT_EQ(grid.write(plan, ExportTarget("boat.csv", true)),
              "TWA\\TWS;6;12\n40;;6,2\n45;4,1;6,33\n90;5,25;7,5\n150;4,4;\n");
    const std::string comma = grid.write(plan, ExportTarget("boat.pol", true));
    EXPECT_EQ(comma.substr(0, 28), "TWA\\TWS\t6\t12\n40\t0\t6,2\n45\t4,1");
    EXPECT_EQ(Points(*ImportGrid(comma, "x").pSailPlan),
              Points(*ImportGrid(grid.write(plan, "boat.pol"), "x").pSailPlan));

    // The tacking angle 60 at 6 kn is not the best upwind angle (the curve's is 45): the export
    // says so, and that a grid keeps no name.
    const std::vector<std::string> notes = ExportNotes(grid, {&plan}, grid.write(plan, "-"));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "the sail plan's name \"Main\" is not held");
    EXPECT_NE(notes[1].find("1 tacking angles of \"Main\" are not held"), std::string::npos)
        << notes[1];
    EXPECT_NE(notes[1].find("6 kn: 60\xC2\xB0 reads back as 45\xC2\xB0"), std::string::npos)
        << notes[1];
    // Signal K holds the name; the plotter's table refuses two wind speeds.
    const ExchangeFormat& signalK = *FormatByName("signalk");
    const std::vector<std::string> kept = ExportNotes(signalK, {&plan}, signalK.write(plan, "-"));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].find("name"), std::string::npos);
    EXPECT_FALSE(FormatByName("plotter-csv")->refusal(plan).empty());
    // hrosailing's tables read 0 as no value: a point of speed 0 is said to be lost.
    SAILPLAN still("Still");
    AddPolar(still, 6, 45, {{0, 0}, {45, 4.1f}, {90, 5.25f}});
    const ExchangeFormat& hro = *FormatByName("hrosailing");
    const std::vector<std::string> zero = ExportNotes(hro, {&still}, hro.write(still, "-"));
    ASSERT_EQ(zero.size(), 2u);
    EXPECT_NE(zero[1].find("1 points of \"Still\" are not held"), std::string::npos) << zero[1];
    EXPECT_NE(zero[1].find("6 kn at 0\xC2\xB0"), std::string::npos) << zero[1];
}

}  // namespace
