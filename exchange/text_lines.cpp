#include "exchange/text_lines.h"

#include <algorithm>
#include <cctype>

std::vector<TextLine> SplitLines(std::string_view text) {
    std::vector<TextLine> lines;
    std::size_t nPos = 0;
    int nNumber = 1;
    while (nPos < text.size()) {
        std::size_t nEnd = text.find('\n', nPos);
        if (nEnd == std::string_view::npos) {
            nEnd = text.size();
        }
        std::string_view line = text.substr(nPos, nEnd - nPos);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back({nNumber++, line});
        nPos = nEnd + 1;
    }
    return lines;
}

std::vector<Cell> SplitCells(std::string_view line, char cSeparator) {
    std::vector<Cell> cells;
    if (cSeparator == ' ') {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
                ++i;
            }
            const std::size_t nStart = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                ++i;
            }
            if (i > nStart) {
                cells.push_back({static_cast<int>(nStart) + 1, line.substr(nStart, i - nStart)});
            }
        }
        return cells;
    }
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nSep = line.find(cSeparator, nStart);
        const std::size_t nEnd = nSep == std::string_view::npos ? line.size() : nSep;
        cells.push_back({static_cast<int>(nStart) + 1, line.substr(nStart, nEnd - nStart)});
        if (nSep == std::string_view::npos) {
            break;
        }
        nStart = nSep + 1;
    }
    return cells;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}
