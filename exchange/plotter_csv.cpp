// The chart plotter's polar table: a row "TWS" with the wind speeds, rows "Beat angle", "Beat VMG",
// "Run angle" and "Run VMG" with one value per wind speed, then a row per true wind angle with
// the speeds through the water. Comma-separated, or every row in one cell with ';' between the
// values; decimal points. The plotter takes at least 3 wind speeds and 3 angles.
#include <algorithm>
#include <cmath>

#include "data/angle_units.h"
#include "exchange/cell_text.h"
#include "exchange/formats.h"
#include "exchange/import_support.h"
#include "exchange/polar_curve.h"
#include "exchange/text_lines.h"

namespace {

constexpr int kMinimumWindSpeeds = 3;
constexpr int kMinimumAngles = 3;

enum class RowKind { kBeatAngle, kBeatVmg, kRunAngle, kRunVmg, kTwaHeading, kOther };

RowKind KindOf(std::string_view label) {
    std::string compact;
    for (const char c : label) {
        if (c != ' ' && c != '"' && c != '\r' && c != '_') {
            compact += c;
        }
    }
    const auto is = [&](std::initializer_list<std::string_view> names) {
        return std::any_of(names.begin(), names.end(),
                           [&](std::string_view n) { return EqualsIgnoringCase(compact, n); });
    };
    if (is({"beatangle", "beatangles"})) {
        return RowKind::kBeatAngle;
    }
    if (is({"beatvmg"})) {
        return RowKind::kBeatVmg;
    }
    if (is({"runangle", "runangles", "gybeangle", "gybeangles"})) {
        return RowKind::kRunAngle;
    }
    if (is({"runvmg", "gybevmg"})) {
        return RowKind::kRunVmg;
    }
    if (StartsWithIgnoringCase(compact, "twa")) {
        return RowKind::kTwaHeading;
    }
    return RowKind::kOther;
}

char SeparatorOf(std::string_view line) {
    return line.find(';') != std::string_view::npos ? ';' : ',';
}

std::string Unquoted(std::string_view cell) {
    std::string s(cell);
    std::erase(s, '"');
    return s;
}

std::optional<float> NumberIn(const Cell& cell) {
    return ParseExchangeNumber(Unquoted(cell.text), false);
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r,;\"") == std::string_view::npos;
}

// The speed a VMG stands for at an angle (none across the wind, where a VMG says nothing).
std::optional<float> SpeedFromVmg(float fAngle, float fVmg) {
    const double dCos = std::fabs(std::cos(fAngle * kRadiansPerDegree));
    if (dCos < 1e-3 || fVmg < 0) {
        return std::nullopt;
    }
    return static_cast<float>(fVmg / dCos);
}

// The VMG written for a best angle: to the hundredth, rounded up between points so that the
// stated point stays the best when read back, as the rating data's JSON does.
float VmgOf(const PERF_POLAR& polar, float fAngle, float fSpeed) {
    const double dVmg = fSpeed * std::fabs(std::cos(fAngle * kRadiansPerDegree));
    const bool bOwnPoint = std::any_of(polar.m_aVectors.begin(), polar.m_aVectors.end(),
                                       [&](const auto& p) { return p->m_fAngle == fAngle; });
    return static_cast<float>(
        (bOwnPoint ? std::round(dVmg * 100.0) : std::ceil(dVmg * 100.0 - 1e-6)) / 100.0);
}

}  // namespace

ImportResult ImportPlotterCsv(std::string_view text, const std::string& strName) {
    ImportResult result;
    result.pSailPlan = std::make_unique<SAILPLAN>(strName);
    SAILPLAN& plan = *result.pSailPlan;
    const std::vector<TextLine> lines = SplitLines(text);
    std::size_t i = 0;
    while (i < lines.size() && IsBlank(lines[i].text)) {
        ++i;
    }
    if (i == lines.size()) {
        result.error = ProblemAt(1, 1, "expected a row \"TWS\" with the wind speeds");
        return result;
    }
    const char cSeparator = SeparatorOf(lines[i].text);
    const std::vector<Cell> header = SplitCells(lines[i].text, cSeparator);
    if (!EqualsIgnoringCase(Unquoted(header[0].text), "tws")) {
        result.error = ProblemAt(
            lines[i].nNumber, header[0].nColumn,
            "expected a row \"TWS\" with the wind speeds, found " + ShownCell(header[0].text));
        return result;
    }
    for (std::size_t c = 1; c < header.size(); ++c) {
        if (IsBlank(header[c].text)) {
            continue;  // a spreadsheet's empty cells at the end
        }
        const std::optional<float> ws = NumberIn(header[c]);
        if (!ws || *ws < 0) {
            result.error = ProblemAt(lines[i].nNumber, header[c].nColumn,
                                     "expected a wind speed, found " + ShownCell(header[c].text));
            return result;
        }
        plan.InsertPolar(plan.GetPolarCount(), *ws, kUnknownTackingAngle);
    }
    if (plan.GetPolarCount() < kMinimumWindSpeeds) {
        result.error = ProblemAt(lines[i].nNumber, 1,
                                 "the chart plotter's table takes at least 3 wind speeds; this one "
                                 "has " +
                                     std::to_string(plan.GetPolarCount()));
        plan.RemoveAllPolars();
        return result;
    }
    const std::size_t nWindSpeeds = plan.m_aPolars.size();
    // Per wind speed: the beat and run angles and VMGs, applied once the table is read.
    std::vector<std::optional<float>> values[4];
    for (auto& v : values) {
        v.resize(nWindSpeeds);
    }
    int nAngles = 0;
    int nLastLine = lines[i].nNumber;
    for (++i; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        if (IsBlank(line.text)) {
            continue;
        }
        nLastLine = line.nNumber;
        const std::vector<Cell> cells = SplitCells(line.text, cSeparator);
        const RowKind kind = KindOf(cells[0].text);
        if (kind == RowKind::kTwaHeading) {
            continue;  // a heading over the angle rows
        }
        std::optional<float> angle;
        if (kind == RowKind::kOther) {
            angle = ParseExchangeAngle(Unquoted(cells[0].text), false);
            if (!angle || *angle < 0 || *angle > 180) {
                result.error = ProblemAt(line.nNumber, cells[0].nColumn,
                                         "expected a true wind angle from 0 to 180 or Beat angle, "
                                         "Beat VMG, Run angle, Run VMG; found " +
                                             ShownCell(cells[0].text));
                break;
            }
        }
        std::vector<std::pair<std::size_t, float>> row;
        for (std::size_t c = 1; c < cells.size(); ++c) {
            if (IsBlank(cells[c].text)) {
                continue;
            }
            if (c > nWindSpeeds) {
                result.error = ProblemAt(line.nNumber, cells[c].nColumn,
                                         "more values than wind speeds in the TWS row");
                break;
            }
            const std::optional<float> value = NumberIn(cells[c]);
            if (!value || *value < 0 ||
                ((kind == RowKind::kBeatAngle || kind == RowKind::kRunAngle) && *value > 180)) {
                result.error = ProblemAt(line.nNumber, cells[c].nColumn,
                                         "expected a number, found " + ShownCell(cells[c].text));
                break;
            }
            row.emplace_back(c - 1, *value);
        }
        if (result.error) {
            break;
        }
        if (kind != RowKind::kOther) {
            for (const auto& [n, f] : row) {
                values[static_cast<int>(kind)][n] = f;
            }
            continue;
        }
        ++nAngles;
        for (const auto& [n, fSpeed] : row) {
            PERF_POLAR& polar = *plan.m_aPolars[n];
            polar.InsertVector(polar.GetVectorCount(), *angle, fSpeed);
        }
    }
    if (!result.error && nAngles < kMinimumAngles) {
        result.error = ProblemAt(nLastLine, 1,
                                 "the chart plotter's table takes at least 3 true wind angles; "
                                 "this one has " +
                                     std::to_string(nAngles));
    }
    for (std::size_t n = 0; n < nWindSpeeds; ++n) {
        PERF_POLAR& polar = *plan.m_aPolars[n];
        const auto& beat = values[static_cast<int>(RowKind::kBeatAngle)][n];
        const auto& beatVmg = values[static_cast<int>(RowKind::kBeatVmg)][n];
        const auto& run = values[static_cast<int>(RowKind::kRunAngle)][n];
        const auto& runVmg = values[static_cast<int>(RowKind::kRunVmg)][n];
        if (beat) {
            polar.m_fTackingAngle = *beat;
            if (const auto speed = beatVmg ? SpeedFromVmg(*beat, *beatVmg) : std::nullopt) {
                AddPointIfNew(polar, *beat, *speed);
            }
        }
        if (run && runVmg) {
            if (const auto speed = SpeedFromVmg(*run, *runVmg)) {
                AddPointIfNew(polar, *run, *speed);
            }
        }
    }
    SortSailPlan(plan);
    SetMissingTackingAngles(plan);
    return result;
}

std::string PlotterCsvRefusal(const SAILPLAN& sailPlan) {
    if (sailPlan.GetPolarCount() < kMinimumWindSpeeds) {
        return "the chart plotter's table takes at least 3 wind speeds; the sail plan has " +
               std::to_string(sailPlan.GetPolarCount());
    }
    const std::size_t nAngles = UnionOfAngles(sailPlan).size();
    if (nAngles < static_cast<std::size_t>(kMinimumAngles)) {
        return "the chart plotter's table takes at least 3 true wind angles; the sail plan has " +
               std::to_string(nAngles);
    }
    return {};
}

std::string ExportPlotterCsv(const SAILPLAN& sailPlan) {
    std::string rows[5] = {"TWS", "Beat angle", "Beat VMG", "Run angle", "Run VMG"};
    for (const auto& pPolar : sailPlan.m_aPolars) {
        rows[0] += ',' + FormatExchangeNumber(pPolar->m_fWindSpeed);
        const std::optional<BestVmg> best = FindBestVmg(*pPolar);
        for (int k = 0; k < 2; ++k) {
            std::string strAngle;
            std::string strVmg;
            if (best) {
                const float fBest = k == 0 ? best->fUpwindAngle : best->fDownwindAngle;
                const float fAngle = std::round(fBest * 100.0f) / 100.0f;
                if (const auto speed = StatedBestSpeed(*pPolar, fAngle)) {
                    strAngle = FormatExchangeNumber(fAngle);
                    strVmg = FormatExchangeNumber(VmgOf(*pPolar, fAngle, *speed));
                }
            }
            rows[1 + 2 * k] += ',' + strAngle;
            rows[2 + 2 * k] += ',' + strVmg;
        }
    }
    std::string out;
    for (const std::string& row : rows) {
        out += row + '\n';
    }
    for (const float fAngle : UnionOfAngles(sailPlan)) {
        out += FormatExchangeNumber(fAngle);
        for (const auto& pPolar : sailPlan.m_aPolars) {
            out += ',';
            if (const std::optional<float> speed = WrittenSpeed(*pPolar, fAngle)) {
                out += FormatExchangeNumber(*speed);
            }
        }
        out += '\n';
    }
    return out;
}
