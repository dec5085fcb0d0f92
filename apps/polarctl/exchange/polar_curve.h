#pragma once

#include <optional>

#include "data/perf_polar.h"

// A polar's curve as the diagram draws it: the speed linear in the angle between consecutive
// points (taken in ascending order of angle).

// The speed at an angle inside the polar's angle range, else nothing.
std::optional<float> SpeedOnCurve(const PERF_POLAR& polar, float fAngle);

struct BestVmg {
    float fUpwindAngle = 0;
    float fUpwindVmg = 0;
    float fDownwindAngle = 0;
    float fDownwindVmg = 0;
};

// The best upwind (largest speed × cos angle) and downwind (largest speed × -cos angle) angles
// on the curve, searched in one-degree steps and refined to a tenth of a degree; nothing for a
// polar without points.
std::optional<BestVmg> FindBestVmg(const PERF_POLAR& polar);
