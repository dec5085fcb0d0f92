#include "logs/log_values.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

bool ParseTimeOfDay(std::string_view field, double& dSeconds) {
    if (field.size() < 6) {
        return false;
    }
    // Hours and minutes as digits, the seconds (with any fraction) as a number: no division
    // of a double into its parts, for this runs once a second of every log.
    int aDigits[4];
    for (int i = 0; i < 4; ++i) {
        const char c = field[static_cast<std::size_t>(i)];
        if (c < '0' || c > '9') {
            return false;
        }
        aDigits[i] = c - '0';
    }
    double ss = 0;
    if (field[4] < '0' || field[4] > '9' || !ParseLogNumber(field.substr(4), ss)) {
        return false;
    }
    const int hh = aDigits[0] * 10 + aDigits[1];
    const int mm = aDigits[2] * 10 + aDigits[3];
    if (hh > 23 || mm > 59 || ss >= 61) {
        return false;
    }
    dSeconds = hh * 3600.0 + mm * 60.0 + ss;
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
