#include "exchange/format_guess.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "exchange/cell_text.h"
#include "exchange/text_lines.h"

namespace {

// The first two lines that hold something, without their leading blanks: they decide.
std::vector<std::string_view> LeadingLines(std::string_view text) {
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
    return lines;
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

bool LooksLikeRatingJson(std::string_view text) {
    const std::vector<std::string_view> lines = LeadingLines(text);
    return !lines.empty() && lines[0].front() == '{' && !LooksLikeSignalKJson(text);
}

bool LooksLikeSignalKJson(std::string_view text) {
    const std::vector<std::string_view> lines = LeadingLines(text);
    if (lines.empty() || (lines[0].front() != '{' && lines[0].front() != '[')) {
        return false;
    }
    const bool bPolar = text.find("\"windData\"") != std::string_view::npos ||
                        text.find("\"polarData\"") != std::string_view::npos;
    return bPolar && text.find("\"vpp\"") == std::string_view::npos;
}

namespace {

// The first two cells of the first line, at ',', ';' or a tab, without blanks around them.
std::pair<std::string_view, std::string_view> FirstTwoCells(std::string_view text) {
    const std::vector<std::string_view> lines = LeadingLines(text);
    if (lines.empty()) {
        return {};
    }
    const std::string_view line = lines[0];
    const std::size_t nFirst = line.find_first_of(",;\t");
    if (nFirst == std::string_view::npos) {
        return {};
    }
    const auto trimmed = [](std::string_view cell) {
        while (!cell.empty() && (cell.front() == ' ' || cell.front() == '"')) {
            cell.remove_prefix(1);
        }
        while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\r' || cell.back() == '"')) {
            cell.remove_suffix(1);
        }
        return cell;
    };
    std::string_view rest = line.substr(nFirst + 1);
    rest = rest.substr(0, rest.find_first_of(",;\t"));
    return {trimmed(line.substr(0, nFirst)), trimmed(rest)};
}

}  // namespace

bool LooksLikePlotterCsv(std::string_view text) {
    const auto [first, second] = FirstTwoCells(text);
    return EqualsIgnoringCase(first, "tws") && ParseExchangeNumber(second, false).has_value();
}

bool LooksLikeTargetTable(std::string_view text) {
    const auto [first, second] = FirstTwoCells(text);
    return EqualsIgnoringCase(first, "tws") && StartsWithIgnoringCase(second, "tbs");
}

bool LooksLikeHrosailingCsv(std::string_view text) {
    const std::vector<std::string_view> lines = LeadingLines(text);
    if (lines.empty()) {
        return false;
    }
    std::string_view first = lines[0];
    while (!first.empty() && (first.back() == ' ' || first.back() == '\r' || first.back() == ',')) {
        first.remove_suffix(1);
    }
    return first == "PolarDiagramTable" || first == "PolarDiagramMultiSails";
}

bool LooksLikeRatingCsv(std::string_view text) {
    const std::vector<std::string_view> lines = LeadingLines(text);
    return !lines.empty() && lines[0].starts_with("twa/tws;") && HoldsBeatOrRunRows(text);
}

bool LooksLikeGrid(std::string_view text) {
    const std::vector<std::string_view> lines = LeadingLines(text);
    const bool bHeader = std::any_of(lines.begin(), lines.end(), [](std::string_view line) {
        return StartsWithIgnoringCase(line, "twa");
    });
    return bHeader && !LooksLikeRatingJson(text) && !LooksLikeRatingCsv(text);
}

bool LooksLikeLines(std::string_view text) {
    const std::vector<std::string_view> lines = LeadingLines(text);
    if (lines.empty()) {
        return false;
    }
    const char c = lines[0].front();
    const bool bStart = c == ';' || c == '!' || StartsWithIgnoringCase(lines[0], "pol") ||
                        std::isdigit(static_cast<unsigned char>(c));
    return bStart && !LooksLikeGrid(text) && !LooksLikeHrosailingCsv(text);
}
