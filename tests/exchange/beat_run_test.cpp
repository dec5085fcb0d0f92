// The beat and the run through the exchange formats, one rule for tacking angles, and
// diagnostics that name the real cause.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <random>

#include "data/angle_units.h"
#include "data/polar_file.h"
#include "exchange/exchange.h"
#include "tests/support/exchange_samples.h"
#include "tests/support/polar_builders.h"

namespace {

// A rating file of two wind speeds with their beats and runs; the run of 10 kn is missing.
constexpr const char* kRatingJson = R"({"name": "Boat", "vpp": {
  "angles": [52, 60, 75, 90, 110, 120, 135, 150],
  "speeds": [6, 10],
  "52": [5.2, 6.6], "60": [5.6, 7.0], "75": [5.9, 7.4], "90": [6.0, 7.6],
  "110": [5.9, 7.7], "120": [5.6, 7.5], "135": [4.9, 7.0], "150": [4.1, 6.3],
  "beat_angle": [42.7, 39.5], "beat_vmg": [3.61, 5.12],
  "run_angle": [163.4, null], "run_vmg": [4.02, 5.9]}})";

const PERF_VECTOR* PointAt(const PERF_POLAR& polar, float fAngle) {
    for (const auto& p : polar.m_aVectors) {
        if (std::fabs(p->m_fAngle - fAngle) < 1e-4f) {
            return p.get();
        }
    }
    return nullptr;
}

TEST(BeatAndRun, RatingJsonImportAddsThemAndExportGivesThemBack) {
    ImportResult result = ImportRatingJson(kRatingJson, "");
    ASSERT_FALSE(result.error) << result.error->strMessage;
    const PERF_POLAR& six = *result.pSailPlan->m_aPolars[0];
    const PERF_POLAR& ten = *result.pSailPlan->m_aPolars[1];
    const PERF_VECTOR* pBeat = PointAt(six, 42.7f);
    ASSERT_NE(pBeat, nullptr);
    EXPECT_NEAR(pBeat->m_fSpeed, 3.61 / std::cos(42.7 * kRadiansPerDegree), 1e-4);
    const PERF_VECTOR* pRun = PointAt(six, 163.4f);
    ASSERT_NE(pRun, nullptr);
    EXPECT_NEAR(pRun->m_fSpeed, 4.02 / std::fabs(std::cos(163.4 * kRadiansPerDegree)), 1e-4);
    EXPECT_EQ(six.m_fTackingAngle, 42.7f);
    EXPECT_EQ(ten.m_fTackingAngle, 39.5f);
    EXPECT_EQ(ten.GetVectorCount(), 9);  // a null run angle adds nothing
    // vmg finds the boat's own beat and run, not the first fixed angle.
    const BestVmg best = *FindBestVmg(six);
    EXPECT_EQ(best.fUpwindAngle, 42.7f);
    EXPECT_EQ(best.fDownwindAngle, 163.4f);

    // Through POLAR.PPD (two decimals) and back out as JSON: the same beat and run.
    SailPlanArray plans;
    plans.push_back(std::move(result.pSailPlan));
    const PolarFileContents saved = ParsePolarFile(FormatPolarFile(plans));
    const auto json = nlohmann::json::parse(ExportRatingJson(*saved.aSailPlans[0]))["vpp"];
    EXPECT_DOUBLE_EQ(json["beat_angle"][0].get<double>(), 42.7);
    EXPECT_NEAR(json["beat_vmg"][0].get<double>(), 3.61, 0.0051);
    EXPECT_DOUBLE_EQ(json["run_angle"][0].get<double>(), 163.4);
    EXPECT_NEAR(json["run_vmg"][0].get<double>(), 4.02, 0.0051);
    EXPECT_DOUBLE_EQ(json["beat_angle"][1].get<double>(), 39.5);
    EXPECT_NEAR(json["beat_vmg"][1].get<double>(), 5.12, 0.0051);
}

TEST(BeatAndRun, AnExistingPointIsKeptAndMissingValuesAddNothing) {
    const ImportResult result = ImportRatingJson(
        R"({"vpp": {"angles": [45, 90], "speeds": [8], "45": [5.5], "90": [6.5],
            "beat_angle": [45], "beat_vmg": [9.9], "run_angle": [170]}})",
        "x");
    ASSERT_FALSE(result.error);
    const PERF_POLAR& polar = *result.pSailPlan->m_aPolars[0];
    ASSERT_EQ(polar.GetVectorCount(), 2);
    EXPECT_EQ(polar.m_aVectors[0]->m_fSpeed, 5.5f);  // the file's own point wins
}

// Polars of fixed angles whose best upwind angle lies between points or on one.
std::string GeneratedGrid(unsigned nSeed) {
    std::mt19937 random(nSeed);
    std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);
    const float angles[] = {32, 40, 52, 60, 75, 90, 110, 120, 135, 150, 165, 180};
    std::string grid = "TWA\\TWS";
    const int windSpeeds[] = {4, 6, 8, 10, 12, 14, 16, 20, 25};
    for (const int w : windSpeeds) {
        grid += '\t';  // appended apart: `"\t" + string` trips GCC 12's -Wrestrict at -O3
        grid += std::to_string(w);
    }
    grid += "\n";
    for (const float a : angles) {
        grid += FormatExchangeNumber(a);
        for (const int w : windSpeeds) {
            const float fBase = std::min(1.5f + 0.6f * static_cast<float>(w), 9.0f);
            const float fShape =
                static_cast<float>(std::sin(std::min(a, 100.0f) * kRadiansPerDegree));
            grid += '\t';
            grid += FormatExchangeNumber(std::max(0.5f, fBase * fShape + jitter(random)));
        }
        grid += "\n";
    }
    return grid;
}

std::vector<float> TackingAngles(const SAILPLAN& plan) {
    std::vector<float> angles;
    for (const auto& p : plan.m_aPolars) {
        angles.push_back(p->m_fTackingAngle);
    }
    return angles;
}

void ExpectSameToTheHundredth(const std::vector<float>& a, const std::vector<float>& b,
                              const char* pszWhat) {
    ASSERT_EQ(a.size(), b.size()) << pszWhat;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i], b[i], 0.0051) << pszWhat << ", polar " << i;
    }
}

TEST(TackingAngles, KeepTheirValueThroughEveryRoundTrip) {
    int nBetweenPoints = 0;
    for (unsigned nSeed = 1; nSeed <= 40; ++nSeed) {
        const ImportResult grid = ImportGrid(GeneratedGrid(nSeed), "x");
        ASSERT_FALSE(grid.error);
        const SAILPLAN& plan = *grid.pSailPlan;
        for (const auto& p : plan.m_aPolars) {
            nBetweenPoints += PointAt(*p, p->m_fTackingAngle) == nullptr ? 1 : 0;
        }
        const std::vector<float> tacking = TackingAngles(plan);
        const ImportResult lines = ImportLines(ExportLines(plan), "x");
        ExpectSameToTheHundredth(TackingAngles(*lines.pSailPlan), tacking, "grid to lines");
        const ImportResult gridAgain = ImportGrid(ExportGrid(*lines.pSailPlan, '\t'), "x");
        ExpectSameToTheHundredth(TackingAngles(*gridAgain.pSailPlan), tacking,
                                 "grid to lines to grid");
        const ImportResult json = ImportRatingJson(ExportRatingJson(*lines.pSailPlan), "x");
        ExpectSameToTheHundredth(TackingAngles(*json.pSailPlan), tacking, "lines to json");
        const ImportResult csv = ImportRatingCsv(ExportRatingCsv(*json.pSailPlan), "x");
        ExpectSameToTheHundredth(TackingAngles(*csv.pSailPlan), tacking, "json to rating csv");
        const ImportResult linesAgain = ImportLines(ExportLines(*csv.pSailPlan), "x");
        ExpectSameToTheHundredth(TackingAngles(*linesAgain.pSailPlan), tacking,
                                 "rating csv to lines");
    }
    EXPECT_GT(nBetweenPoints, 50);  // the hard case is well represented
}

TEST(RatingCsv, BeatAndRunRowsAreOneWindSpeedsPointsAndZerosNoValues) {
    const std::string csv =
        "twa/tws;6;8\n0;0;0\n42.5;4.5;0\n40.1;0;5.2\n52;5.1;5.9\n90;6;7\n150;4.4;6\n"
        "165;4.3;0\n170;0;5.8\n";
    EXPECT_EQ(GuessedName(csv, "boat.csv"), "rating-csv");
    const ImportResult result = ImportRatingCsv(csv, "x");
    ASSERT_FALSE(result.error) << result.error->strMessage;
    const PERF_POLAR& six = *result.pSailPlan->m_aPolars[0];
    EXPECT_EQ(PointAngles(six), (std::vector<float>{42.5f, 52, 90, 150, 165}));
    EXPECT_EQ(six.m_fTackingAngle, 42.5f);
    EXPECT_EQ(PointAngles(*result.pSailPlan->m_aPolars[1]),
              (std::vector<float>{40.1f, 52, 90, 150, 170}));
    EXPECT_EQ(result.pSailPlan->m_aPolars[1]->m_fTackingAngle, 40.1f);

    // Written and read again: the same points.
    const ImportResult again = ImportRatingCsv(ExportRatingCsv(*result.pSailPlan), "x");
    EXPECT_EQ(PointAngles(*again.pSailPlan->m_aPolars[0]), PointAngles(six));
    EXPECT_EQ(again.pSailPlan->m_aPolars[1]->m_fTackingAngle, 40.1f);
}

TEST(Diagnostics, NameTheRealCause) {
    // A header this format does not read: line 1, not the line after it.
    const ImportResult header = ImportGrid("TWSknop;6;8\n44,2\xb0;5;6\n", "x");
    ASSERT_TRUE(header.error);
    EXPECT_EQ(header.error->nLine, 1);
    EXPECT_NE(header.error->strMessage.find("'TWSknop'"), std::string::npos);
    EXPECT_NE(header.error->strMessage.find("TWA/TWS"), std::string::npos);
    // Degree signs after angles, in UTF-8 and Latin-1.
    const ImportResult degrees = ImportGrid("TWA;6\n50\xc2\xb0;5,1\n60\xb0;5,5\n", "x");
    ASSERT_FALSE(degrees.error) << degrees.error->strMessage;
    EXPECT_EQ(PointAngles(*degrees.pSailPlan->m_aPolars[0]), (std::vector<float>{50, 60}));
    EXPECT_FALSE(ImportLines("6\t50\xc2\xb0\t5.1\t90\t6\n", "x").error);
    // Bytes that are no UTF-8 are shown escaped; UTF-8 text as it is.
    const ImportResult latin = ImportGrid("TWA;6\nvier\xe4;5\n", "x");
    ASSERT_TRUE(latin.error);
    EXPECT_NE(latin.error->strMessage.find("'vier\\xE4'"), std::string::npos)
        << latin.error->strMessage;
    EXPECT_EQ(ShownCell("Gro\xc3\x9f"), "'Gro\xc3\x9f'");
}

}  // namespace
