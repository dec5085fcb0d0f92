#include "live/fixed_text.h"

#include <charconv>
#include <cmath>

void AppendFixed(std::string& str, double d, int nDecimals) {
    if (!std::isfinite(d)) {
        return;
    }
    if (d == 0) {
        d = 0;  // -0 written as 0
    }
    char sz[64];
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
