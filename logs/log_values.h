#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

// The values of a log's fields, as instruments write them.

// "hhmmss.ss" as seconds of the day.
bool ParseTimeOfDay(std::string_view field, double& dSeconds);
// A speed with its unit field: "N" knots, "M" m/s, "K" km/h; in knots, a reading as
// ParseReading takes it.
bool ParseSpeedKnots(std::string_view value, std::string_view unit, double& dKnots);
// An angle from the bow (any number of turns, either sign) folded into 0 to 180 degrees: port
// and starboard alike.
double FoldAngle(double dDegrees);
// Whether an angle from the bow (any number of turns, either sign) lies on the port side: more
// than 180 degrees once in 0 to 360.
bool FromPort(double dDegrees);

// A decimal number (sign, digits, a point; an exponent too) filling the whole field. Inline:
// a log is mostly such numbers.
inline bool ParseLogNumber(std::string_view field, double& d) {
    if (field.empty()) {
        return false;
    }
    // The usual instrument value ("-12.345"): digits read directly, which is several times
    // faster than a general conversion; anything else (an exponent, many digits) takes that.
    std::size_t i = field[0] == '-' || field[0] == '+' ? 1 : 0;
    std::uint64_t nMantissa = 0;
    int nDigits = 0;
    int nFraction = -1;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9') {
            nMantissa = nMantissa * 10 + static_cast<std::uint64_t>(c - '0');
            ++nDigits;
            nFraction += nFraction >= 0 ? 1 : 0;
        } else if (c == '.' && nFraction < 0) {
            nFraction = 0;
        } else {
            break;
        }
    }
    if (i == field.size() && nDigits > 0 && nDigits <= 15) {
        static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        d = static_cast<double>(nMantissa) / kPowers[nFraction > 0 ? nFraction : 0];
        d = field[0] == '-' ? -d : d;
        return true;
    }
    const char* p = field.data();
    if (*p == '+') {
        ++p;
    }
    const auto [end, ec] = std::from_chars(p, field.data() + field.size(), d);
    return ec == std::errc() && end == field.data() + field.size() && std::isfinite(d);
}

// A reading that a sample can hold: finite, not negative, within a float's range.
inline bool ParseReading(std::string_view field, double& d) {
    return ParseLogNumber(field, d) && d >= 0 && d <= std::numeric_limits<float>::max();
}
