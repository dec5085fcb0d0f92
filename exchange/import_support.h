#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/polar_text_scanner.h"
#include "data/sailplan.h"

// What the readers and writers of every format share.

// Sorts every polar's points by angle and the polars by wind speed (stable: equal keys keep
// their order).
void SortSailPlan(SAILPLAN& sailPlan);
// A polar whose tacking angle the file did not give carries this until the import ends.
constexpr float kUnknownTackingAngle = -1000.0f;
// Sets every unknown tacking angle to the polar's best upwind angle (0 without points).
void SetMissingTackingAngles(SAILPLAN& sailPlan);
// The union of all polars' point angles, ascending.
std::vector<float> UnionOfAngles(const SAILPLAN& sailPlan);
// A problem at a line and column (both from 1).
PolarFileProblem ProblemAt(int nLine, int nColumn, std::string strMessage);
// A problem at a byte offset of the text, as its line and column.
PolarFileProblem ProblemAtOffset(std::string_view text, std::size_t nOffset,
                                 std::string strMessage);
// A value read in a unit of finer resolution (m/s, radians) as the data file holds it: to the
// hundredth, so that what we wrote comes back exactly.
float ToHundredth(double dValue);
// Adds a point unless the polar has one at that angle already; false when it had.
bool AddPointIfNew(PERF_POLAR& polar, float fAngle, float fSpeed);
