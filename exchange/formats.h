#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/polar_text_scanner.h"
#include "data/sailplan.h"

// The readers and writers of each format. The table of formats (format_table.h) names them.

// What an import read: one sail plan (polars ascending by wind speed, points ascending by
// angle, every polar with a tacking angle), and where it stopped when the input had an error.
// The records read before the error are kept, for a caller that wants them anyway. A format that
// holds several sail plans gives the first as pSailPlan and the others, in file order, in
// aMoreSailPlans.
struct ImportResult {
    std::unique_ptr<SAILPLAN> pSailPlan;
    std::vector<std::unique_ptr<SAILPLAN>> aMoreSailPlans;
    std::optional<PolarFileProblem> error;
};

// Each reads one file's text into a sail plan called strName; rating JSON keeps the name the
// file gives when strName is empty.
ImportResult ImportGrid(std::string_view text, const std::string& strName);
ImportResult ImportLines(std::string_view text, const std::string& strName);
ImportResult ImportRatingJson(std::string_view text, const std::string& strName);
ImportResult ImportRatingCsv(std::string_view text, const std::string& strName);
// Signal K's polar JSON: the polar object of its data model (a name, per wind speed the angle
// data, the optimal beats and gybes) alone or as a map of such objects by id, and the older API
// shape (trueWindAngles, polarData per wind speed); m/s and radians. Every polar object becomes
// a sail plan of its own name.
ImportResult ImportSignalKJson(std::string_view text, const std::string& strName);
// The chart plotter's polar table: TWS row, beat angle, beat VMG, run angle and run VMG rows, then
// a row per true wind angle; comma- or ';'-separated; at least 3 wind speeds and 3 angles.
ImportResult ImportPlotterCsv(std::string_view text, const std::string& strName);
// Race instruments' target table: a heading row, then per wind speed target boat speed and angle
// pairs, the first the best upwind, the last the best downwind; 3 to 20 rows, 5 to 20 pairs.
ImportResult ImportTargetTable(std::string_view text, const std::string& strName);
// hrosailing's CSV: "PolarDiagramTable" (TWS, TWA and BSP blocks) or "PolarDiagramMultiSails"
// (the wind speeds once, then per sail its name, TWA and BSP blocks: a sail plan per sail).
ImportResult ImportHrosailingCsv(std::string_view text, const std::string& strName);

// What a grid writes where a polar has no value at an angle: nothing, or the 0 that routers read
// as "cannot sail there".
enum class NoValueCell { kBlank, kZero };

// Each writes one sail plan with LF line ends; cSeparator is '\t' or ';'; bDecimalComma writes
// "5,2" for the programs that read numbers so (never with ',' as the separator).
std::string ExportGrid(const SAILPLAN& sailPlan, char cSeparator,
                       NoValueCell noValue = NoValueCell::kBlank, bool bDecimalComma = false);
std::string ExportLines(const SAILPLAN& sailPlan);
std::string ExportRatingJson(const SAILPLAN& sailPlan);
std::string ExportRatingCsv(const SAILPLAN& sailPlan);
std::string ExportSignalKJson(const std::vector<const SAILPLAN*>& sailPlans);
std::string ExportPlotterCsv(const SAILPLAN& sailPlan);
std::string ExportTargetTable(const SAILPLAN& sailPlan);
std::string ExportHrosailingCsv(const std::vector<const SAILPLAN*>& sailPlans);

// Why a format cannot hold a sail plan at all (empty when it can): the chart plotter's table and
// the target table take at least 3 wind speeds, and so many angles.
std::string PlotterCsvRefusal(const SAILPLAN& sailPlan);
std::string TargetTableRefusal(const SAILPLAN& sailPlan);
