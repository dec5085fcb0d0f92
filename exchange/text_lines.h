#pragma once

#include <string_view>
#include <vector>

// A text split into lines (LF or CR LF), with their numbers from 1.
struct TextLine {
    int nNumber;
    std::string_view text;
};
std::vector<TextLine> SplitLines(std::string_view text);

// A line's cells: split at cSeparator, or at runs of blanks when cSeparator is ' '. Each cell
// keeps its column (from 1).
struct Cell {
    int nColumn;
    std::string_view text;
};
std::vector<Cell> SplitCells(std::string_view line, char cSeparator);

// ASCII letters compared without regard to case: headers, titles and file name endings.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
