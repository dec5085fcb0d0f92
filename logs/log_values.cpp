#include "logs/log_values.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

bool ParseTimeOfDay(std::string_view field, double& dSeconds) {
    double d = 0;
    if (field.size() < 6 || !ParseLogNumber(field, d)) {
        return false;
    }
    const double hh = std::floor(d / 10000);
    const double mm = std::floor((d - hh * 10000) / 100);
    const double ss = d - hh * 10000 - mm * 100;
    if (hh > 23 || mm > 59 || ss >= 61) {
        return false;
    }
    dSeconds = hh * 3600 + mm * 60 + ss;
    return true;
}

bool ParseSpeedKnots(std::string_view value, std::string_view unit, double& dKnots) {
    double d = 0;
    if (!ParseReading(value, d)) {
        return false;
    }
    if (unit == "N") {
        dKnots = d;
    } else if (unit == "M") {
        dKnots = d * 1.9438444924;
    } else if (unit == "K") {
        dKnots = d * 0.5399568035;
    } else {
        return false;
    }
    return dKnots <= std::numeric_limits<float>::max();
}

double FoldAngle(double dAngle) {
    dAngle = std::fmod(dAngle, 360.0);
    if (dAngle < 0) {
        dAngle += 360.0;
    }
    return dAngle > 180.0 ? 360.0 - dAngle : dAngle;
}

bool FromPort(double dAngle) {
    dAngle = std::fmod(dAngle, 360.0);
    if (dAngle < 0) {
        dAngle += 360.0;
    }
    return dAngle > 180.0;
}
