#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "data/polar_text_scanner.h"
#include "data/sailplan.h"

// The readers and writers of each format. The table of formats (format_table.h) names them.

// What an import read: one sail plan (polars ascending by wind speed, points ascending by
// angle, every polar with a tacking angle), and where it stopped when the input had an error.
// The records read before the error are kept, for a caller that wants them anyway.
struct ImportResult {
    std::unique_ptr<SAILPLAN> pSailPlan;
    std::optional<PolarFileProblem> error;
};

// Each reads one file's text into a sail plan called strName; rating JSON keeps the name the
// file gives when strName is empty.
ImportResult ImportGrid(std::string_view text, const std::string& strName);
ImportResult ImportLines(std::string_view text, const std::string& strName);
ImportResult ImportRatingJson(std::string_view text, const std::string& strName);
ImportResult ImportRatingCsv(std::string_view text, const std::string& strName);

// Each writes one sail plan with LF line ends; cSeparator is '\t' or ';'.
std::string ExportGrid(const SAILPLAN& sailPlan, char cSeparator);
std::string ExportLines(const SAILPLAN& sailPlan);
std::string ExportRatingJson(const SAILPLAN& sailPlan);
std::string ExportRatingCsv(const SAILPLAN& sailPlan);
