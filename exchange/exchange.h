#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/polar_text_scanner.h"
#include "data/sailplan.h"

// Formats of other sailing software that polarctl reads and writes.
enum class ExchangeFormat {
    Grid,   // TWA\TWS grid: a header row of wind speeds, a row per angle
    Lines,  // a line per wind speed: the wind speed, then angle/speed pairs
    Json,   // the JSON of published rating data ("vpp": angles, speeds, a speed array per angle)
    RatingCsv,  // the CSV of the same data: a twa/tws grid with ';', 0 for no value, beat and
                // run rows that hold one wind speed's best upwind or downwind point
};

std::optional<ExchangeFormat> FormatByName(const std::string& strName);
const char* FormatName(ExchangeFormat format);
// From the content first (a '{', a TWA header, lines of numbers), then the file name's extension.
// A "twa/tws;" file is the rating data's CSV only when it holds that format's beat or run rows
// (or repeats an angle); else it is a grid, where 0 is a speed.
std::optional<ExchangeFormat> GuessFormat(std::string_view text, const std::string& strPath);

// What an import read: one sail plan (polars ascending by wind speed, points ascending by
// angle), and where it stopped when the input had an error. The records read before the error
// are kept, for --force.
struct ImportResult {
    std::unique_ptr<SAILPLAN> pSailPlan;
    std::optional<PolarFileProblem> error;
};

ImportResult ImportGrid(std::string_view text, const std::string& strName);
ImportResult ImportLines(std::string_view text, const std::string& strName);
ImportResult ImportRatingJson(std::string_view text, const std::string& strName);
ImportResult ImportRatingCsv(std::string_view text, const std::string& strName);

// cSeparator '\t' or ';'; LF line ends.
std::string ExportGrid(const SAILPLAN& sailPlan, char cSeparator);
std::string ExportLines(const SAILPLAN& sailPlan);
std::string ExportRatingJson(const SAILPLAN& sailPlan);
std::string ExportRatingCsv(const SAILPLAN& sailPlan);

// ---- Shared by the formats ----

// A number as the formats write it: rounded to the hundredth, without trailing zeros.
std::string FormatExchangeNumber(float fValue);
// A whole cell as a finite number ("." or, where allowed, "," as the decimal mark).
std::optional<float> ParseExchangeNumber(std::string_view cell, bool bDecimalComma);
// An angle cell: a number, a degree sign after it allowed ("50°", UTF-8 or Latin-1).
std::optional<float> ParseExchangeAngle(std::string_view cell, bool bDecimalComma);
// A cell's text for a message, quoted, cut to 20 bytes: bytes that are no UTF-8 (or control
// characters) as \xNN, so that a terminal shows what the file holds.
std::string ShownCell(std::string_view cell);
// Sorts every polar's points by angle and the polars by wind speed.
void SortSailPlan(SAILPLAN& sailPlan);
// A polar whose tacking angle the file did not give carries this until the import ends.
constexpr float kUnknownTackingAngle = -1000.0f;
// Sets every unknown tacking angle to the polar's best upwind angle.
void SetMissingTackingAngles(SAILPLAN& sailPlan);
// The union of all polars' point angles, ascending.
std::vector<float> UnionOfAngles(const SAILPLAN& sailPlan);
// A problem at a line and column (both from 1).
PolarFileProblem ProblemAt(int nLine, int nColumn, std::string strMessage);
