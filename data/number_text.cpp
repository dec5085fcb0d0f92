#include "data/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

void AppendFixed2(std::string& out, float fValue) {
    char buf[64];
    // Two decimals of any float fit: the largest has 39 integer digits.
    auto [pEnd, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(fValue),
                                    std::chars_format::fixed, 2);
    (void)ec;
    out.append(buf, pEnd);
}

std::string FormatFixed2(float fValue) {
    std::string s;
    AppendFixed2(s, fValue);
    return s;
}

void AppendShortestFloat(std::string& out, float fValue) {
    char buf[64];
    auto [pEnd, ec] = std::to_chars(buf, buf + sizeof buf, fValue);
    (void)ec;
    out.append(buf, pEnd);
}

std::size_t ParseFloatPrefix(const char* pText, const char* pEnd, float& fValue) {
    const char* p = pText;
    // from_chars takes a minus sign but no plus sign.
    if (p < pEnd && *p == '+') {
        ++p;
        if (p < pEnd && *p == '-') {
            return 0;
        }
    }
    auto [pNext, ec] = std::from_chars(p, pEnd, fValue, std::chars_format::general);
    if (ec == std::errc::invalid_argument) {
        return 0;
    }
    if (ec == std::errc::result_out_of_range) {
        // The stream functions give infinity for too large and zero for too small values.
        double dValue = 0.0;
        auto [pNextD, ecD] = std::from_chars(p, pEnd, dValue, std::chars_format::general);
        (void)pNextD;
        if (ecD == std::errc()) {
            fValue = static_cast<float>(dValue);
        } else {
            // Out of range even for double: decide by the sign of the exponent.
            const char* q = p;
            const bool bNegative = q < pEnd && *q == '-';
            while (q < pNext && *q != 'e' && *q != 'E') {
                ++q;
            }
            const bool bTiny = q + 1 < pNext && q[1] == '-';
            const float fMagnitude = bTiny ? 0.0f : std::numeric_limits<float>::infinity();
            fValue = bNegative ? -fMagnitude : fMagnitude;
        }
    }
    return static_cast<std::size_t>(pNext - pText);
}
