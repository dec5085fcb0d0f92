#include "live/fixed_text.h"

#include <charconv>
#include <cmath>

namespace {

// Up to four decimals of a number below 1e12, through an integer: what every update writes
// many times, done without the general conversion's cost. The result is the number rounded to
// the nearest (half away from zero) of its scaled value.
bool AppendSmallFixed(std::string& str, double d, int nDecimals) {
    static constexpr double kScale[] = {1, 10, 100, 1000, 10000};
    if (nDecimals < 0 || nDecimals > 4 || !(std::fabs(d) < 1e12)) {
        return false;
    }
    const long long nScaled = std::llround(d * kScale[nDecimals]);
    unsigned long long n = nScaled < 0 ? static_cast<unsigned long long>(-nScaled)
                                       : static_cast<unsigned long long>(nScaled);
    char sz[32];
    char* p = sz + sizeof sz;
    for (int i = 0; i < nDecimals; ++i) {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    if (nDecimals > 0) {
        *--p = '.';
    }
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (nScaled < 0) {
        *--p = '-';
    }
    str.append(p, sz + sizeof sz);
    return true;
}

}  // namespace

void AppendFixed(std::string& str, double d, int nDecimals) {
    if (!std::isfinite(d)) {
        return;
    }
    if (AppendSmallFixed(str, d, nDecimals)) {
        return;
    }
    if (d == 0) {
        d = 0;  // -0 written as 0
    }
    char sz[400];  // room for the largest double in fixed notation
    const auto result = std::to_chars(sz, sz + sizeof sz, d, std::chars_format::fixed, nDecimals);
    if (result.ec == std::errc()) {
        str.append(sz, result.ptr);
    }
}

void AppendBearing(std::string& str, double dDegrees) {
    if (!std::isfinite(dDegrees)) {
        return;
    }
    double dTenths = std::round(std::fmod(dDegrees, 360.0) * 10.0);
    if (dTenths < 0) {
        dTenths += 3600.0;
    }
    if (dTenths >= 3600.0) {
        dTenths -= 3600.0;
    }
    AppendFixed(str, dTenths / 10.0, 1);
}
