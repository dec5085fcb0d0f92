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
