#include <algorithm>
#include <cctype>
#include <cmath>

#include "data/number_text.h"
#include "data/text_encoding.h"
#include "exchange/exchange.h"
#include "exchange/polar_curve.h"
#include "exchange/text_lines.h"

std::optional<ExchangeFormat> FormatByName(const std::string& strName) {
    if (strName == "grid") {
        return ExchangeFormat::Grid;
    }
    if (strName == "lines") {
        return ExchangeFormat::Lines;
    }
    if (strName == "json") {
        return ExchangeFormat::Json;
    }
    if (strName == "rating-csv") {
        return ExchangeFormat::RatingCsv;
    }
    return std::nullopt;
}

const char* FormatName(ExchangeFormat format) {
    switch (format) {
        case ExchangeFormat::Grid:
            return "grid";
        case ExchangeFormat::Lines:
            return "lines";
        case ExchangeFormat::Json:
            return "json";
        case ExchangeFormat::RatingCsv:
            return "rating-csv";
    }
    return "?";
}

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool StartsWithTwaHeader(std::string_view line) {
    const std::string lower = Lower(line.substr(0, 8));
    return lower.rfind("twa", 0) == 0;
}

// A data row of a "twa/tws;" file, as far as telling the two formats apart needs it.
struct SemicolonRow {
    float fAngle = 0;
    int nValues = 0;          // cells with a speed other than 0
    std::size_t nColumn = 0;  // the wind speed of the last of them
    bool bOthersZero = true;  // every other wind speed's cell holds an explicit 0
    bool Single() const { return nValues == 1 && bOthersZero; }
};

// Whether a "twa/tws;" file holds what only the rating data's CSV holds. Grids with that header
// are common too, often with 0 where a sail is not used, and there 0 is a speed. The rating
// data's beat and run rows hold one wind speed's value and zeros for the others; a beat row per
// wind speed comes before the ascending rows of the angles and a run row per wind speed after
// them, and their angles may repeat one of those. A grid may have a row with a single value too
// (a sail used at one angle only), so such rows count only where they break the order of the
// angles, or open and close the table for more than one wind speed each.
bool HoldsBeatOrRunRows(std::string_view text) {
    const std::vector<TextLine> lines = SplitLines(text);
    std::size_t nLine = 0;
    while (nLine < lines.size() &&
           lines[nLine].text.find_first_not_of(" \t") == std::string_view::npos) {
        ++nLine;
    }
    if (nLine == lines.size()) {
        return false;
    }
    std::vector<Cell> header = SplitCells(lines[nLine].text, ';');
    while (header.size() > 1 &&
           header.back().text.find_first_not_of(" \t\r") == std::string_view::npos) {
        header.pop_back();
    }
    const std::size_t nWindSpeeds = header.size() - 1;
    std::vector<SemicolonRow> rows;
    for (++nLine; nLine < lines.size(); ++nLine) {
        if (lines[nLine].text.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        const std::vector<Cell> cells = SplitCells(lines[nLine].text, ';');
        const std::optional<float> angle = ParseExchangeAngle(cells[0].text, true);
        if (!angle) {
            break;  // the reader reports it; what came before decides
        }
        SemicolonRow row;
        row.fAngle = *angle;
        for (std::size_t c = 1; c <= nWindSpeeds; ++c) {
            const std::optional<float> value =
                c < cells.size() ? ParseExchangeNumber(cells[c].text, true) : std::nullopt;
            if (value && *value != 0) {
                ++row.nValues;
                row.nColumn = c;
            } else if (!value) {
                row.bOthersZero = false;  // blank: no value, which these rows never hold
            }
        }
        rows.push_back(row);
    }

    // An angle twice.
    std::vector<float> angles;
    for (const SemicolonRow& row : rows) {
        angles.push_back(row.fAngle);
    }
    std::sort(angles.begin(), angles.end());
    if (std::adjacent_find(angles.begin(), angles.end()) != angles.end()) {
        return true;
    }

    // A single-value row out of the order that the other rows keep. With one wind speed every
    // row is one, and a table written from 180 down is in order too.
    std::optional<float> last;
    bool bOthersAscend = true;
    for (const SemicolonRow& row : rows) {
        if (!row.Single()) {
            bOthersAscend = bOthersAscend && (!last || row.fAngle > *last);
            last = row.fAngle;
        }
    }
    const bool bAllDescend =
        std::adjacent_find(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            return a.fAngle <= b.fAngle;
        }) == rows.end();
    for (std::size_t i = 1; bOthersAscend && !bAllDescend && i < rows.size(); ++i) {
        if (rows[i].fAngle < rows[i - 1].fAngle && (rows[i].Single() || rows[i - 1].Single())) {
            return true;
        }
    }

    // Beat rows open the table and run rows close it, each block for several wind speeds (rows
    // without any value, such as one at 0 degrees, may stand outside them).
    const auto blockWindSpeeds = [](auto it, auto end, bool bBeat) {
        while (it != end && it->nValues == 0) {
            ++it;
        }
        std::vector<std::size_t> columns;
        for (; it != end && it->Single() && (it->fAngle < 90) == bBeat; ++it) {
            columns.push_back(it->nColumn);
        }
        std::sort(columns.begin(), columns.end());
        return std::unique(columns.begin(), columns.end()) - columns.begin();
    };
    return blockWindSpeeds(rows.begin(), rows.end(), true) > 1 &&
           blockWindSpeeds(rows.rbegin(), rows.rend(), false) > 1;
}

}  // namespace

std::optional<ExchangeFormat> GuessFormat(std::string_view text, const std::string& strPath) {
    // The first two lines that hold something decide.
    std::vector<std::string_view> lines;
    std::size_t nPos = 0;
    while (nPos < text.size() && lines.size() < 2) {
        std::size_t nEnd = text.find('\n', nPos);
        if (nEnd == std::string_view::npos) {
            nEnd = text.size();
        }
        std::string_view line = text.substr(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        while (!line.empty() &&
               (line.front() == ' ' || line.front() == '\t' || line.front() == '\r')) {
            line.remove_prefix(1);
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    if (!lines.empty()) {
        const std::string_view first = lines[0];
        if (first.front() == '{') {
            return ExchangeFormat::Json;
        }
        if (first.rfind("twa/tws;", 0) == 0 && HoldsBeatOrRunRows(text)) {
            return ExchangeFormat::RatingCsv;
        }
        if (StartsWithTwaHeader(first) || (lines.size() > 1 && StartsWithTwaHeader(lines[1]))) {
            return ExchangeFormat::Grid;
        }
        if (first.front() == ';' || first.front() == '!' || Lower(first.substr(0, 3)) == "pol" ||
            std::isdigit(static_cast<unsigned char>(first.front()))) {
            return ExchangeFormat::Lines;
        }
    }
    const std::size_t nDot = strPath.find_last_of('.');
    const std::string ext = nDot == std::string::npos ? std::string() : Lower(strPath.substr(nDot));
    if (ext == ".json") {
        return ExchangeFormat::Json;
    }
    if (ext == ".csv") {
        return ExchangeFormat::Grid;
    }
    return std::nullopt;
}

std::string FormatExchangeNumber(float fValue) {
    std::string s = FormatFixed2(fValue);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') {
            s.pop_back();
        }
        if (!s.empty() && s.back() == '.') {
            s.pop_back();
        }
    }
    if (s == "-0") {
        s = "0";
    }
    return s;
}

std::optional<float> ParseExchangeNumber(std::string_view cell, bool bDecimalComma) {
    while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) {
        cell.remove_prefix(1);
    }
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t' || cell.back() == '\r')) {
        cell.remove_suffix(1);
    }
    if (cell.empty()) {
        return std::nullopt;
    }
    std::string withPoint;
    if (bDecimalComma && cell.find(',') != std::string_view::npos) {
        withPoint.assign(cell);
        std::replace(withPoint.begin(), withPoint.end(), ',', '.');
        cell = withPoint;
    }
    float f = 0;
    const std::size_t nUsed = ParseFloatPrefix(cell.data(), cell.data() + cell.size(), f);
    if (nUsed != cell.size() || !std::isfinite(f)) {
        return std::nullopt;
    }
    return f;
}

std::optional<float> ParseExchangeAngle(std::string_view cell, bool bDecimalComma) {
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t' || cell.back() == '\r')) {
        cell.remove_suffix(1);
    }
    if (cell.size() >= 2 && cell.substr(cell.size() - 2) == "\xC2\xB0") {
        cell.remove_suffix(2);
    } else if (!cell.empty() && cell.back() == '\xB0') {
        cell.remove_suffix(1);
    }
    return ParseExchangeNumber(cell, bDecimalComma);
}

std::string ShownCell(std::string_view cell) {
    const std::string_view cut = cell.substr(0, 20);
    std::string out = "'";
    for (std::size_t i = 0; i < cut.size();) {
        const auto c = static_cast<unsigned char>(cut[i]);
        std::size_t nLength = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (nLength > 1 && i + nLength <= cut.size() && IsValidUtf8(cut.substr(i, nLength))) {
            out.append(cut.substr(i, nLength));
            i += nLength;
        } else if (nLength == 1 && c >= 0x20 && c != 0x7F) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
            ++i;
        }
    }
    return out + (cell.size() > 20 ? "...'" : "'");
}

void SortSailPlan(SAILPLAN& sailPlan) {
    for (auto& pPolar : sailPlan.m_aPolars) {
        std::stable_sort(pPolar->m_aVectors.begin(), pPolar->m_aVectors.end(),
                         [](const auto& a, const auto& b) { return a->m_fAngle < b->m_fAngle; });
    }
    std::stable_sort(
        sailPlan.m_aPolars.begin(), sailPlan.m_aPolars.end(),
        [](const auto& a, const auto& b) { return a->m_fWindSpeed < b->m_fWindSpeed; });
}

void SetMissingTackingAngles(SAILPLAN& sailPlan) {
    for (auto& pPolar : sailPlan.m_aPolars) {
        if (pPolar->m_fTackingAngle == kUnknownTackingAngle) {
            const std::optional<BestVmg> best = FindBestVmg(*pPolar);
            pPolar->m_fTackingAngle = best ? best->fUpwindAngle : 0.0f;
        }
    }
}

std::vector<float> UnionOfAngles(const SAILPLAN& sailPlan) {
    std::vector<float> angles;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        for (const auto& pVector : pPolar->m_aVectors) {
            angles.push_back(pVector->m_fAngle);
        }
    }
    std::sort(angles.begin(), angles.end());
    angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
    return angles;
}

PolarFileProblem ProblemAt(int nLine, int nColumn, std::string strMessage) {
    return PolarFileProblem{nLine, nColumn, std::move(strMessage)};
}
