#pragma once

#include <string>
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
