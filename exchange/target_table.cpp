// Race instruments' target table: a heading row (TWS, TBS1, TWA1, ..., TBSn, TWAn), then a row per
// true wind speed: the wind speed, then pairs of target boat speed and true wind angle. The first
// pair is the best upwind, the last the best downwind; the pairs between keep one angle per
// column. Tab- or comma-separated; 3 to 20 rows of 5 to 20 pairs.
#include <algorithm>
#include <cmath>

#include "exchange/cell_text.h"
#include "exchange/formats.h"
#include "exchange/import_support.h"
#include "exchange/polar_curve.h"
#include "exchange/text_lines.h"

namespace {

constexpr int kMinimumRows = 3;
constexpr int kMaximumRows = 20;
constexpr int kMinimumPairs = 5;
constexpr int kMaximumPairs = 20;

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r,") == std::string_view::npos;
}

std::string Limits() {
    return "a target table holds " + std::to_string(kMinimumRows) + " to " +
           std::to_string(kMaximumRows) + " wind speed rows of " + std::to_string(kMinimumPairs) +
           " to " + std::to_string(kMaximumPairs) + " speed and angle pairs";
}

// n values spread evenly over the list, keeping its first and last.
std::vector<float> Spread(const std::vector<float>& values, std::size_t n) {
    if (values.size() <= n) {
        return values;
    }
    std::vector<float> chosen;
    for (std::size_t k = 0; k < n; ++k) {
        chosen.push_back(values[k * (values.size() - 1) / (n - 1)]);
    }
    return chosen;
}

struct Targets {
    std::vector<const PERF_POLAR*> polars;
    std::vector<float> angles;  // the columns between the beat and the run
};

// What the table can hold of the sail plan: at most 20 wind speeds, and the angles every one of
// them has a value at, strictly between the best upwind and downwind angles, 18 at most.
Targets ChooseTargets(const SAILPLAN& sailPlan) {
    Targets targets;
    std::vector<float> windSpeeds;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        if (FindBestVmg(*pPolar)) {
            windSpeeds.push_back(pPolar->m_fWindSpeed);
        }
    }
    windSpeeds = Spread(windSpeeds, kMaximumRows);
    for (const auto& pPolar : sailPlan.m_aPolars) {
        if (std::find(windSpeeds.begin(), windSpeeds.end(), pPolar->m_fWindSpeed) !=
                windSpeeds.end() &&
            (targets.polars.empty() ||
             targets.polars.back()->m_fWindSpeed != pPolar->m_fWindSpeed)) {
            targets.polars.push_back(pPolar.get());
        }
    }
    std::vector<BestVmg> best;
    for (const PERF_POLAR* pPolar : targets.polars) {
        best.push_back(*FindBestVmg(*pPolar));
    }
    std::vector<float> common;
    for (const float fAngle : UnionOfAngles(sailPlan)) {
        bool bEvery = !targets.polars.empty();
        for (std::size_t i = 0; bEvery && i < targets.polars.size(); ++i) {
            bEvery = fAngle > best[i].fUpwindAngle + 0.005f &&
                     fAngle < best[i].fDownwindAngle - 0.005f &&
                     WrittenSpeed(*targets.polars[i], fAngle).has_value();
        }
        if (bEvery) {
            common.push_back(fAngle);
        }
    }
    targets.angles = Spread(common, kMaximumPairs - 2);
    return targets;
}

}  // namespace

ImportResult ImportTargetTable(std::string_view text, const std::string& strName) {
    ImportResult result;
    result.pSailPlan = std::make_unique<SAILPLAN>(strName);
    SAILPLAN& plan = *result.pSailPlan;
    const std::vector<TextLine> lines = SplitLines(text);
    std::size_t i = 0;
    while (i < lines.size() && IsBlank(lines[i].text)) {
        ++i;
    }
    if (i == lines.size()) {
        result.error = ProblemAt(1, 1, "expected the heading row (TWS, TBS1, TWA1, ...)");
        return result;
    }
    // The heading row holds no data; it shows the separator.
    const char cSeparator = lines[i].text.find('\t') != std::string_view::npos ? '\t' : ',';
    int nRows = 0;
    int nLastLine = lines[i].nNumber;
    for (++i; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        if (IsBlank(line.text)) {
            continue;
        }
        nLastLine = line.nNumber;
        std::vector<Cell> cells = SplitCells(line.text, cSeparator);
        while (cells.size() > 1 && IsBlank(cells.back().text)) {
            cells.pop_back();
        }
        if (++nRows > kMaximumRows) {
            result.error = ProblemAt(
                line.nNumber, 1, Limits() + "; this row is the " + std::to_string(nRows) + "th");
            break;
        }
        const std::size_t nPairs = (cells.size() - 1) / 2;
        if (cells.size() % 2 == 0) {
            result.error = ProblemAt(line.nNumber, cells.back().nColumn,
                                     "expected the wind speed and then speed and angle pairs: a "
                                     "speed has no angle");
            break;
        }
        if (nPairs < static_cast<std::size_t>(kMinimumPairs) ||
            nPairs > static_cast<std::size_t>(kMaximumPairs)) {
            result.error =
                ProblemAt(line.nNumber, cells.back().nColumn,
                          Limits() + "; this row has " + std::to_string(nPairs) + " pairs");
            break;
        }
        std::vector<float> values;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            // Cells 2, 4, ... are angles.
            const bool bAngle = c > 0 && c % 2 == 0;
            const std::optional<float> value = bAngle ? ParseExchangeAngle(cells[c].text, false)
                                                      : ParseExchangeNumber(cells[c].text, false);
            if (!value || *value < 0 || (bAngle && *value > 180)) {
                result.error =
                    ProblemAt(line.nNumber, cells[c].nColumn,
                              std::string(bAngle   ? "expected a true wind angle from 0 to 180"
                                          : c == 0 ? "expected a wind speed"
                                                   : "expected a target boat speed") +
                                  ", found " + ShownCell(cells[c].text));
                break;
            }
            values.push_back(*value);
        }
        if (result.error) {
            break;
        }
        plan.InsertPolar(plan.GetPolarCount(), values[0], values[2]);  // the first pair: the beat
        PERF_POLAR& polar = *plan.m_aPolars.back();
        for (std::size_t k = 1; k + 1 < values.size(); k += 2) {
            AddPointIfNew(polar, values[k + 1], values[k]);
        }
    }
    if (!result.error && nRows < kMinimumRows) {
        result.error =
            ProblemAt(nLastLine, 1, Limits() + "; this one has " + std::to_string(nRows) + " rows");
    }
    SortSailPlan(plan);
    SetMissingTackingAngles(plan);
    return result;
}

std::string TargetTableRefusal(const SAILPLAN& sailPlan) {
    const Targets targets = ChooseTargets(sailPlan);
    if (targets.polars.size() < static_cast<std::size_t>(kMinimumRows)) {
        return Limits() + "; the sail plan has " + std::to_string(targets.polars.size()) +
               " wind speeds with points";
    }
    if (targets.angles.size() + 2 < static_cast<std::size_t>(kMinimumPairs)) {
        return Limits() +
               "; between the best upwind and downwind angles the sail plan's polars "
               "share " +
               std::to_string(targets.angles.size()) + " angles, and it needs 3";
    }
    return {};
}

std::string ExportTargetTable(const SAILPLAN& sailPlan) {
    const Targets targets = ChooseTargets(sailPlan);
    const std::size_t nPairs = targets.angles.size() + 2;
    std::string out = "TWS";
    for (std::size_t k = 1; k <= nPairs; ++k) {
        out += "\tTBS" + std::to_string(k) + "\tTWA" + std::to_string(k);
    }
    out += '\n';
    for (const PERF_POLAR* pPolar : targets.polars) {
        const BestVmg best = *FindBestVmg(*pPolar);
        const auto pair = [&](float fAngle, std::optional<float> speed) {
            out += '\t' + FormatExchangeNumber(speed.value_or(0.0f)) + '\t' +
                   FormatExchangeNumber(fAngle);
        };
        out += FormatExchangeNumber(pPolar->m_fWindSpeed);
        const float fBeat = std::round(best.fUpwindAngle * 100.0f) / 100.0f;
        const float fRun = std::round(best.fDownwindAngle * 100.0f) / 100.0f;
        pair(fBeat, StatedBestSpeed(*pPolar, fBeat));
        for (const float fAngle : targets.angles) {
            pair(fAngle, WrittenSpeed(*pPolar, fAngle));
        }
        pair(fRun, StatedBestSpeed(*pPolar, fRun));
        out += '\n';
    }
    return out;
}
