#pragma once

#include <string_view>

// How each format's content is recognised, from its first lines. The table of formats uses
// them; each excludes what the others claim, so that no text is of two formats.

// A first line opening a JSON object that is no Signal K polar.
bool LooksLikeRatingJson(std::string_view text);
// JSON (an object or an array) that names "windData" or "polarData" and no "vpp".
bool LooksLikeSignalKJson(std::string_view text);
// A first row "TWS" then wind speeds (comma- or ';'-separated), the chart plotter's table.
bool LooksLikePlotterCsv(std::string_view text);
// A heading row "TWS" then "TBS...": the race instruments' target table.
bool LooksLikeTargetTable(std::string_view text);
// A first line "PolarDiagramTable" or "PolarDiagramMultiSails".
bool LooksLikeHrosailingCsv(std::string_view text);
// A "twa/tws;" table that holds what only the rating data's CSV holds: beat or run rows (one
// wind speed's value, zeros for the others) out of the order of the angles or opening and
// closing the table, or an angle twice. Other "twa/tws;" tables are grids, where 0 is a speed.
bool LooksLikeRatingCsv(std::string_view text);
// A TWA header (TWA\TWS, TWA/TWS, twa/tws, TWA) on the first or second line.
bool LooksLikeGrid(std::string_view text);
// A first line that is a comment (';', '!'), a title ("pol...", but not hrosailing's) or starts
// with a number.
bool LooksLikeLines(std::string_view text);
