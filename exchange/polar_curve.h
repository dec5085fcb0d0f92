#pragma once

#include <optional>

#include "data/perf_polar.h"
#include "data/sailplan.h"

// A polar's curve as the diagram draws it: the speed linear in the angle between consecutive
// points (taken in ascending order of angle).

// The speed at an angle inside the polar's angle range, else nothing.
std::optional<float> SpeedOnCurve(const PERF_POLAR& polar, float fAngle);

// The speed of a sail plan at a wind speed and an angle: on the curves of the two polars whose
// wind speeds enclose it, linear in the wind speed between them (a polar's own wind speed: its
// curve alone). Nothing outside the sail plan's wind speeds or outside the angle range of a
// polar it needs. The polars in ascending order of wind speed (SortSailPlan).
std::optional<float> SpeedBetweenWindSpeeds(const SAILPLAN& sailPlan, float fWindSpeed,
                                            float fAngle);

// The speed of a sail plan anywhere, by one rule for what lies outside its table: a wind speed
// below the lowest polar's or above the highest one's is held at that polar's; below a polar's
// lowest angle the speed falls linearly to 0 at 0 degrees; above its highest angle it is held
// at the highest point's. Inside the table exactly SpeedBetweenWindSpeeds. Polars without
// points are passed over; nothing only when the sail plan has no point at all (or for NaN).
std::optional<float> SpeedWithEdges(const SAILPLAN& sailPlan, float fWindSpeed, float fAngle);

// The speed a file of two decimals writes for the polar at an angle: a point's own speed; between
// points the speed on the curve rounded down to the hundredth, so that no written value raises
// the curve and its best angles stay where they are; nothing outside the polar's range.
std::optional<float> WrittenSpeed(const PERF_POLAR& polar, float fAngle);
// The speed written for a best angle stated as a point of its own (a tacking angle, a beat or run
// row): a point's own speed; between points the speed on the curve raised by half a hundredth
// or more, so that the curve's best angle is exactly there when it is read back.
std::optional<float> StatedBestSpeed(const PERF_POLAR& polar, float fAngle);

struct BestVmg {
    float fUpwindAngle = 0;
    float fUpwindVmg = 0;
    float fDownwindAngle = 0;
    float fDownwindVmg = 0;
};

// The best upwind (largest speed × cos angle) and downwind (largest speed × -cos angle) angles
// on the curve: a point's own angle where a point is best, else the optimum between two points
// (where the speed is linear in the angle), to a millionth of a degree; nothing for a polar
// without points.
std::optional<BestVmg> FindBestVmg(const PERF_POLAR& polar);
