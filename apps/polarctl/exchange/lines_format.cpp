// A line per wind speed: the wind speed, then angle/speed pairs, tab-separated. Lines starting
// with ';' or '!' are comments; a first line starting with "pol" is a title.
#include <cctype>
#include <cmath>

#include "apps/polarctl/exchange/exchange.h"
#include "apps/polarctl/exchange/polar_curve.h"
#include "apps/polarctl/exchange/text_lines.h"

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

bool IsCommentOrBlank(std::string_view line) {
    const std::size_t n = line.find_first_not_of(" \t");
    return n == std::string_view::npos || line[n] == ';' || line[n] == '!';
}

bool IsTitle(std::string_view line) {
    const std::size_t n = line.find_first_not_of(" \t");
    return n != std::string_view::npos && line.size() >= n + 3 &&
           std::tolower(static_cast<unsigned char>(line[n])) == 'p' &&
           std::tolower(static_cast<unsigned char>(line[n + 1])) == 'o' &&
           std::tolower(static_cast<unsigned char>(line[n + 2])) == 'l';
}

}  // namespace

ImportResult ImportLines(std::string_view text, const std::string& strName) {
    ImportResult result;
    result.pSailPlan = std::make_unique<SAILPLAN>(strName);
    SAILPLAN& plan = *result.pSailPlan;
    bool bFirst = true;
    for (const TextLine& line : SplitLines(text)) {
        if (IsCommentOrBlank(line.text)) {
            continue;
        }
        if (bFirst && IsTitle(line.text)) {
            bFirst = false;
            continue;
        }
        bFirst = false;
        const std::vector<Cell> cells = SplitCells(line.text, ' ');
        std::vector<float> values;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const Cell& cell = cells[i];
            const std::optional<float> value = ParseExchangeNumber(cell.text, false);
            // Cells 1, 3, 5 ... are angles, from 0 to 180.
            const bool bAngle = i % 2 == 1;
            if (!value || *value < 0 || (bAngle && *value > 180)) {
                result.error =
                    ProblemAt(line.nNumber, cell.nColumn,
                              std::string(bAngle ? "expected a true wind angle from 0 to 180"
                                                 : "expected a number") +
                                  ", found '" + std::string(cell.text.substr(0, 20)) + "'");
                break;
            }
            values.push_back(*value);
        }
        if (result.error) {
            break;
        }
        if (values.size() % 2 == 0) {
            result.error = ProblemAt(
                line.nNumber, cells.back().nColumn,
                "expected the wind speed and then angle/speed pairs: an angle has no speed");
            break;
        }
        plan.InsertPolar(plan.GetPolarCount(), values[0], kUnknownTackingAngle);
        PERF_POLAR& polar = *plan.m_aPolars.back();
        // The second angle is the tacking angle when it is the best upwind point.
        std::size_t nBest = 0;
        double dBest = -1e300;
        for (std::size_t i = 1; i + 1 < values.size(); i += 2) {
            polar.InsertVector(polar.GetVectorCount(), values[i], values[i + 1]);
            const double dVmg = values[i + 1] * std::cos(values[i] * kDegToRad);
            if (dVmg > dBest) {
                dBest = dVmg;
                nBest = i;
            }
        }
        if (values.size() >= 5 && nBest == 3) {
            polar.m_fTackingAngle = values[3];
        }
    }
    SortSailPlan(plan);
    SetMissingTackingAngles(plan);
    return result;
}

std::string ExportLines(const SAILPLAN& sailPlan) {
    const std::vector<float> angles = UnionOfAngles(sailPlan);
    std::string out;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        out += FormatExchangeNumber(pPolar->m_fWindSpeed);
        for (const float fAngle : angles) {
            if (const std::optional<float> speed = SpeedOnCurve(*pPolar, fAngle)) {
                out += '\t';
                out += FormatExchangeNumber(fAngle);
                out += '\t';
                out += FormatExchangeNumber(*speed);
            }
        }
        out += '\n';
    }
    return out;
}
