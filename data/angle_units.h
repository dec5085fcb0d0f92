#pragma once

#include <numbers>

// Radians in one degree. Angles are degrees everywhere in the records, the files and the user
// interface; the trigonometric functions take radians.
inline constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
