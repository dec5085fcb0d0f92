#pragma once

#include <vector>

#include "data/sailplan.h"

// Which sail plan is fastest at each true wind speed and angle: a grid of cells, wind speed
// across the rows and angle across the columns. The speeds are those of the sail plans'
// curves, linear in the wind speed between two polars (as compare measures), so the chart
// shows what the polars say and nothing beyond their wind speeds and angles.
struct CrossoverGrid {
    float fFirstWindSpeed = 0;
    float fWindStep = 1;
    int nWindSpeeds = 0;
    float fAngleStep = 1;
    int nAngles = 0;  // angles 0, step, 2 step, ... up to 180
    // Row by row (wind speed), the index of the fastest sail plan, or -1 where none sails.
    std::vector<int> aFastest;

    int Fastest(int nWind, int nAngle) const {
        return aFastest[static_cast<std::size_t>(nWind * nAngles + nAngle)];
    }
    float WindSpeed(int nWind) const {
        return fFirstWindSpeed + fWindStep * static_cast<float>(nWind);
    }
    float Angle(int nAngle) const { return fAngleStep * static_cast<float>(nAngle); }
};

// The grid over the wind speeds the sail plans cover (from the lowest to the highest polar),
// in steps of fWindStep knots and fAngleStep degrees. Empty when no sail plan has a polar.
// The sail plans' polars and points in ascending order (SortSailPlan).
CrossoverGrid ComputeCrossover(const SailPlanArray& aSailPlans, float fWindStep, float fAngleStep);
