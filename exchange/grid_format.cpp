// The TWA/TWS grid: a header row "TWA\TWS" (or TWA/TWS, twa/tws, TWA) followed by the wind
// speeds, then a row per true wind angle with the boat speeds; one free-text line may come
// before the header. The rating data's CSV is such a grid with 0 for no value and a beat and a
// run row per wind speed.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "exchange/cell_text.h"
#include "exchange/formats.h"
#include "exchange/import_support.h"
#include "exchange/polar_curve.h"
#include "exchange/text_lines.h"

namespace {

bool IsHeaderCell(std::string_view cell) {
    std::string compact;
    std::copy_if(cell.begin(), cell.end(), std::back_inserter(compact),
                 [](char c) { return c != ' ' && c != '\r'; });
    return EqualsIgnoringCase(compact, "twa\\tws") || EqualsIgnoringCase(compact, "twa/tws") ||
           EqualsIgnoringCase(compact, "twa");
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

bool IsBlank(std::string_view cell) {
    return cell.find_first_not_of(" \t\r") == std::string_view::npos;
}

// A row whose first cell is text and whose other cells are numbers: a header, though not one
// this format reads (rather than a free-text title).
bool LooksLikeHeader(const std::vector<Cell>& cells, bool bDecimalComma) {
    if (cells.size() < 3 || ParseExchangeNumber(cells[0].text, bDecimalComma)) {
        return false;
    }
    for (std::size_t c = 1; c < cells.size(); ++c) {
        if (!IsBlank(cells[c].text) && !ParseExchangeNumber(cells[c].text, bDecimalComma)) {
            return false;
        }
    }
    return true;
}

// bZeroIsNoValue: the rating data's CSV writes 0 where it has no value, and rows that hold one
// wind speed's beat or run point with zeros for the others.
ImportResult ReadGrid(std::string_view text, const std::string& strName, bool bZeroIsNoValue) {
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
        const char cSeparator = SeparatorOf(lines[i].text);
        const std::vector<Cell> cells = SplitCells(lines[i].text, cSeparator);
        if (!cells.empty() && IsHeaderCell(cells[0].text)) {
            nHeader = i;
            break;
        }
        if (LooksLikeHeader(cells, cSeparator != ',')) {
            result.error =
                ProblemAt(lines[i].nNumber, cells[0].nColumn,
                          "this looks like a header row, but " + ShownCell(cells[0].text) +
                              " is not one this format reads: it starts with "
                              "TWA\\TWS, TWA/TWS, twa/tws or TWA");
            return result;
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
            result.error = ProblemAt(
                lines[nHeader].nNumber, header[c].nColumn,
                "expected a wind speed in the header, found " + ShownCell(header[c].text));
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
        const std::optional<float> angle = ParseExchangeAngle(cells[0].text, bDecimalComma);
        if (!angle || *angle < 0 || *angle > 180) {
            result.error = ProblemAt(
                line.nNumber, cells[0].nColumn,
                "expected a true wind angle from 0 to 180, found " + ShownCell(cells[0].text));
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
                result.error =
                    ProblemAt(line.nNumber, cells[c].nColumn,
                              "expected a boat speed, found " + ShownCell(cells[c].text));
                break;
            }
            if (bZeroIsNoValue && *speed == 0) {
                continue;
            }
            row.emplace_back(c - 1, *speed);
        }
        if (result.error) {
            break;  // the incomplete row is not kept
        }
        for (const auto& [nPolar, fSpeed] : row) {
            PERF_POLAR& polar = plan.Polar(static_cast<int>(nPolar));
            // A beat or run row may repeat an angle of the grid.
            const bool bKnown =
                bZeroIsNoValue && std::any_of(polar.m_aVectors.begin(), polar.m_aVectors.end(),
                                              [&](const auto& p) { return p->m_fAngle == *angle; });
            if (!bKnown) {
                polar.InsertVector(polar.GetVectorCount(), *angle, fSpeed);
            }
            // A beat row states its wind speed's tacking angle.
            if (bZeroIsNoValue && row.size() == 1 && *angle < 90 &&
                polar.m_fTackingAngle == kUnknownTackingAngle) {
                polar.m_fTackingAngle = *angle;
            }
        }
    }
    SortSailPlan(plan);
    SetMissingTackingAngles(plan);
    return result;
}

}  // namespace

ImportResult ImportGrid(std::string_view text, const std::string& strName) {
    return ReadGrid(text, strName, false);
}

ImportResult ImportRatingCsv(std::string_view text, const std::string& strName) {
    return ReadGrid(text, strName, true);
}

std::string ExportGrid(const SAILPLAN& sailPlan, char cSeparator, NoValueCell noValue,
                       bool bDecimalComma) {
    const bool bComma = bDecimalComma && cSeparator != ',';
    const auto number = [bComma](float f) {
        std::string text = FormatExchangeNumber(f);
        if (bComma) {
            std::replace(text.begin(), text.end(), '.', ',');
        }
        return text;
    };
    std::string out = "TWA\\TWS";
    for (const auto& pPolar : sailPlan.m_aPolars) {
        out += cSeparator;
        out += number(pPolar->m_fWindSpeed);
    }
    out += '\n';
    for (const float fAngle : UnionOfAngles(sailPlan)) {
        out += number(fAngle);
        for (const auto& pPolar : sailPlan.m_aPolars) {
            out += cSeparator;
            if (const std::optional<float> speed = WrittenSpeed(*pPolar, fAngle)) {
                out += number(*speed);
            } else if (noValue == NoValueCell::kZero) {
                out += '0';
            }
        }
        out += '\n';
    }
    return out;
}

std::string ExportRatingCsv(const SAILPLAN& sailPlan) {
    const std::size_t nPolars = sailPlan.m_aPolars.size();
    std::string out = "twa/tws";
    for (const auto& pPolar : sailPlan.m_aPolars) {
        out += ';';
        out += FormatExchangeNumber(pPolar->m_fWindSpeed);
    }
    out += '\n';
    // One wind speed's best point, zeros for the others.
    const auto singleRow = [&](std::size_t nPolar, float fBestAngle) {
        const float fAngle = std::round(fBestAngle * 100.0f) / 100.0f;
        const std::optional<float> speed = StatedBestSpeed(*sailPlan.m_aPolars[nPolar], fAngle);
        out += FormatExchangeNumber(fAngle);
        for (std::size_t i = 0; i < nPolars; ++i) {
            out += ';';
            out += i == nPolar && speed ? FormatExchangeNumber(*speed) : std::string("0");
        }
        out += '\n';
    };
    std::vector<std::optional<BestVmg>> best;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        best.push_back(FindBestVmg(*pPolar));
    }
    for (std::size_t i = 0; i < nPolars; ++i) {
        if (best[i]) {
            singleRow(i, best[i]->fUpwindAngle);
        }
    }
    for (const float fAngle : UnionOfAngles(sailPlan)) {
        out += FormatExchangeNumber(fAngle);
        for (const auto& pPolar : sailPlan.m_aPolars) {
            const std::optional<float> speed = WrittenSpeed(*pPolar, fAngle);
            out += ';';
            out += speed ? FormatExchangeNumber(*speed) : std::string("0");
        }
        out += '\n';
    }
    for (std::size_t i = 0; i < nPolars; ++i) {
        if (best[i]) {
            singleRow(i, best[i]->fDownwindAngle);
        }
    }
    return out;
}
