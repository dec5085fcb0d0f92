#pragma once

#include <string>

// One point of a polar: a true wind angle in degrees and the boat speed in knots reached at
// it. Whoever creates one sets both fields at once.
struct PERF_VECTOR {
    float m_fAngle;
    float m_fSpeed;

    // Appends "angle,speed," with two decimals each, as the data file stores a point.
    void Write(std::string& out) const;
};
