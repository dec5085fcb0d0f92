// A line per wind speed: the wind speed, then angle/speed pairs, tab-separated. Lines starting
// with ';' or '!' are comments; a first line starting with "pol" is a title.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "exchange/cell_text.h"
#include "exchange/formats.h"
#include "exchange/import_support.h"
#include "exchange/polar_curve.h"
#include "exchange/text_lines.h"

namespace {

bool IsCommentOrBlank(std::string_view line) {
    const std::size_t n = line.find_first_not_of(" \t");
    return n == std::string_view::npos || line[n] == ';' || line[n] == '!';
}

bool IsTitle(std::string_view line) {
    const std::size_t n = line.find_first_not_of(" \t");
    return n != std::string_view::npos && StartsWithIgnoringCase(line.substr(n), "pol");
}

// An import takes the best upwind angle on the curve as the tacking angle, and a point's own
// angle where a point is best. A tacking angle between two points gets a point of its own, on
// the curve but for a rise of at most 0.015 kn: so the best upwind angle is exactly there, and
// the import gives back the same tacking angle.
void AddTackingPoint(const PERF_POLAR& polar, std::vector<std::pair<float, float>>& pairs) {
    const std::optional<BestVmg> best = FindBestVmg(polar);
    if (!best || std::fabs(best->fUpwindAngle - polar.m_fTackingAngle) > 0.005f) {
        return;  // not the best upwind angle: no file of this format can state it
    }
    // The angle as the file writes it.
    const float fAngle = std::round(polar.m_fTackingAngle * 100.0f) / 100.0f;
    const std::optional<float> speed = StatedBestSpeed(polar, fAngle);
    if (!speed) {
        return;
    }
    const auto it = std::lower_bound(pairs.begin(), pairs.end(), fAngle,
                                     [](const auto& p, float a) { return p.first < a; });
    if (it != pairs.end() && std::fabs(it->first - fAngle) < 0.005f) {
        return;  // a point of the polar already
    }
    pairs.insert(it, {fAngle, *speed});
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
            // Cells 1, 3, 5 ... are angles, from 0 to 180.
            const bool bAngle = i % 2 == 1;
            const std::optional<float> value = bAngle ? ParseExchangeAngle(cell.text, false)
                                                      : ParseExchangeNumber(cell.text, false);
            if (!value || *value < 0 || (bAngle && *value > 180)) {
                result.error =
                    ProblemAt(line.nNumber, cell.nColumn,
                              std::string(bAngle ? "expected a true wind angle from 0 to 180"
                                                 : "expected a number") +
                                  ", found " + ShownCell(cell.text));
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
        // The tacking angle is the best upwind angle on the curve; where that is a point, it
        // is the point's own angle (the second pair, as the files of this format mark it).
        plan.InsertPolar(plan.GetPolarCount(), values[0], kUnknownTackingAngle);
        PERF_POLAR& polar = *plan.m_aPolars.back();
        for (std::size_t i = 1; i + 1 < values.size(); i += 2) {
            polar.InsertVector(polar.GetVectorCount(), values[i], values[i + 1]);
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
        std::vector<std::pair<float, float>> pairs;
        for (const float fAngle : angles) {
            if (const std::optional<float> speed = WrittenSpeed(*pPolar, fAngle)) {
                pairs.emplace_back(fAngle, *speed);
            }
        }
        AddTackingPoint(*pPolar, pairs);
        out += FormatExchangeNumber(pPolar->m_fWindSpeed);
        for (const auto& [fAngle, fSpeed] : pairs) {
            out += '\t';
            out += FormatExchangeNumber(fAngle);
            out += '\t';
            out += FormatExchangeNumber(fSpeed);
        }
        out += '\n';
    }
    return out;
}
