// The TWA/TWS grid: a header row "TWA\TWS" (or TWA/TWS, twa/tws, TWA) followed by the wind
// speeds, then a row per true wind angle with the boat speeds; one free-text line may come
// before the header.
#include <algorithm>
#include <cctype>

#include "apps/polarctl/exchange/exchange.h"
#include "apps/polarctl/exchange/polar_curve.h"
#include "apps/polarctl/exchange/text_lines.h"

namespace {

bool IsHeaderCell(std::string_view cell) {
    std::string lower;
    for (char c : cell) {
        if (c != ' ' && c != '\r') {
            lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return lower == "twa\\tws" || lower == "twa/tws" || lower == "twa";
}

char SeparatorOf(std::string_view header) {
    if (header.find('\t') != std::string_view::npos) {
        return '\t';
    }
    if (header.find(';') != std::string_view::npos) {
        return ';';
    }
    if (header.find(',') != std::string_view::npos) {
        return ',';
    }
    return ' ';
}

std::string Shown(std::string_view cell) {
    std::string s(cell.substr(0, 20));
    return "'" + s + (cell.size() > 20 ? "...'" : "'");
}

}  // namespace

ImportResult ImportGrid(std::string_view text, const std::string& strName) {
    ImportResult result;
    result.pSailPlan = std::make_unique<SAILPLAN>(strName);
    SAILPLAN& plan = *result.pSailPlan;
    const std::vector<TextLine> lines = SplitLines(text);

    // The header: the first line that holds something, or the one after it.
    std::size_t nHeader = lines.size();
    std::size_t nSeen = 0;
    for (std::size_t i = 0; i < lines.size() && nSeen < 2; ++i) {
        if (lines[i].text.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        ++nSeen;
        const std::vector<Cell> cells = SplitCells(lines[i].text, SeparatorOf(lines[i].text));
        if (!cells.empty() && IsHeaderCell(cells[0].text)) {
            nHeader = i;
            break;
        }
    }
    if (nHeader == lines.size()) {
        result.error =
            ProblemAt(1, 1, "expected a header row starting with TWA\\TWS, TWA/TWS or TWA");
        return result;
    }
    const char cSeparator = SeparatorOf(lines[nHeader].text);
    const bool bDecimalComma = cSeparator != ',';
    const std::vector<Cell> header = SplitCells(lines[nHeader].text, cSeparator);
    std::size_t nColumns = header.size();
    while (nColumns > 1 &&
           header[nColumns - 1].text.find_first_not_of(" \t\r") == std::string_view::npos) {
        --nColumns;  // trailing empty cells
    }
    for (std::size_t c = 1; c < nColumns; ++c) {
        const std::optional<float> ws = ParseExchangeNumber(header[c].text, bDecimalComma);
        if (!ws || *ws < 0) {
            result.error =
                ProblemAt(lines[nHeader].nNumber, header[c].nColumn,
                          "expected a wind speed in the header, found " + Shown(header[c].text));
            plan.RemoveAllPolars();
            return result;
        }
        plan.InsertPolar(plan.GetPolarCount(), *ws, kUnknownTackingAngle);
    }
    if (plan.GetPolarCount() == 0) {
        result.error = ProblemAt(lines[nHeader].nNumber, 1, "the header names no wind speed");
        return result;
    }

    for (std::size_t i = nHeader + 1; i < lines.size() && !result.error; ++i) {
        const TextLine& line = lines[i];
        if (line.text.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        const std::vector<Cell> cells = SplitCells(line.text, cSeparator);
        const std::optional<float> angle = ParseExchangeNumber(cells[0].text, bDecimalComma);
        if (!angle || *angle < 0 || *angle > 180) {
            result.error = ProblemAt(
                line.nNumber, cells[0].nColumn,
                "expected a true wind angle from 0 to 180, found " + Shown(cells[0].text));
            break;
        }
        std::vector<std::pair<std::size_t, float>> row;
        for (std::size_t c = 1; c < cells.size(); ++c) {
            const bool bBlank = cells[c].text.find_first_not_of(" \t\r") == std::string_view::npos;
            if (bBlank) {
                continue;  // no value at this angle for this wind speed
            }
            if (c >= nColumns) {
                result.error = ProblemAt(line.nNumber, cells[c].nColumn,
                                         "more values than wind speeds in the header");
                break;
            }
            const std::optional<float> speed = ParseExchangeNumber(cells[c].text, bDecimalComma);
            if (!speed || *speed < 0) {
                result.error = ProblemAt(line.nNumber, cells[c].nColumn,
                                         "expected a boat speed, found " + Shown(cells[c].text));
                break;
            }
            row.emplace_back(c - 1, *speed);
        }
        if (result.error) {
            break;  // the incomplete row is not kept
        }
        for (const auto& [nPolar, fSpeed] : row) {
            PERF_POLAR& polar = plan.Polar(static_cast<int>(nPolar));
            polar.InsertVector(polar.GetVectorCount(), *angle, fSpeed);
        }
    }
    SortSailPlan(plan);
    SetMissingTackingAngles(plan);
    return result;
}

std::string ExportGrid(const SAILPLAN& sailPlan, char cSeparator) {
    std::string out = "TWA\\TWS";
    for (const auto& pPolar : sailPlan.m_aPolars) {
        out += cSeparator;
        out += FormatExchangeNumber(pPolar->m_fWindSpeed);
    }
    out += '\n';
    for (const float fAngle : UnionOfAngles(sailPlan)) {
        out += FormatExchangeNumber(fAngle);
        for (const auto& pPolar : sailPlan.m_aPolars) {
            out += cSeparator;
            if (const std::optional<float> speed = SpeedOnCurve(*pPolar, fAngle)) {
                out += FormatExchangeNumber(*speed);
            }
        }
        out += '\n';
    }
    return out;
}
