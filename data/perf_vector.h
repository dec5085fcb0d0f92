#pragma once

#include <string>

// One point of a polar: a true wind angle in degrees and the boat speed in knots reached at
// it. Whoever creates one sets both fields at once.
struct PERF_VECTOR {
    float m_fAngle;
    float m_fSpeed;

    // Appends "angle,speed," with two decimals each, as the data file stores a point.
    void Write(std::string& out) const;
    // Whether the point reads back as a point: an angle written as -0.50 or lower would read
    // as the end of its polar (or sail plan), and a value that is no number would stop the
    // reading, so that everything after it would be lost.
    bool IsWritable() const;
};
