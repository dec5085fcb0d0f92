#pragma once

#include <vector>

#include "data/sailplan.h"

// The targets of one wind speed: the best beat and run (the angle of best VMG on the curve,
// the boat speed there and the VMG).
struct TargetRow {
    float fWindSpeed = 0;
    float fBeatAngle = 0;
    float fBeatSpeed = 0;
    float fBeatVmg = 0;
    float fRunAngle = 0;
    float fRunSpeed = 0;
    float fRunVmg = 0;
};

// One row per polar with points, in the sail plan's order (ascending, as ViewedFile holds it).
std::vector<TargetRow> TargetsOfSailPlan(const SAILPLAN& sailPlan);
