#pragma once

#include <optional>
#include <vector>

#include "data/sailplan.h"
#include "exchange/polar_curve.h"

// What the window lists of one polar: its wind speed, how many points it has, its tacking
// angle and its best beat and run (nothing for a polar without points).
struct PolarFacts {
    float fWindSpeed = 0;
    int nPoints = 0;
    float fTackingAngle = 0;
    std::optional<BestVmg> bestVmg;
};

std::vector<PolarFacts> FactsOfSailPlan(const SAILPLAN& sailPlan);
