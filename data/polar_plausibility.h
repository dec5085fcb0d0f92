#pragma once

#include <string>
#include <vector>

#include "data/sailplan.h"

// The limits beyond which a speed is no sailing boat's: a boat speed above 60 kn, or above
// three times the wind speed plus 5 kn; a wind speed above 80 kn.
constexpr float kMaxPlausibleBoatSpeed = 60.0f;
constexpr float kMaxPlausibleWindSpeed = 80.0f;
inline float MaxPlausibleBoatSpeed(float fWindSpeed) {
    const float fRelative = 3.0f * fWindSpeed + 5.0f;
    return fRelative < kMaxPlausibleBoatSpeed ? fRelative : kMaxPlausibleBoatSpeed;
}

// Values no sailing boat reaches, each named by its wind speed (and angle): a boat speed above
// 60 kn or above three times the wind speed plus 5 kn, a wind speed above 80 kn, a polar whose
// boat speeds are all zero. Typing errors and unit mix-ups, not proof of an error.
std::vector<std::string> ImplausibleValues(const SAILPLAN& sailPlan);

// Polars without a point, each named by its wind speed and its place in the sail plan: the file
// holds them, but they draw nothing and have no best angles, which is rarely what was meant.
std::vector<std::string> PolarsWithoutPoints(const SAILPLAN& sailPlan);
