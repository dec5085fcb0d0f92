#include "data/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

void AppendFixed2(std::string& out, float fValue) {
    // A float times 100 is exact in double (24 + 7 significant bits), so rounding that product
    // to an integer in the default mode (ties to even) gives exactly the hundredths that
    // printf prints. Beyond 2^53 and for infinities and NaN the general conversion takes over.
    const double dHundredths = static_cast<double>(fValue) * 100.0;
    if (std::fabs(dHundredths) < 9007199254740992.0) {
        const auto nHundredths = static_cast<std::uint64_t>(std::fabs(std::nearbyint(dHundredths)));
        char buf[32];
        char* p = buf + sizeof buf;
        const std::uint64_t nCents = nHundredths % 100;
        *--p = static_cast<char>('0' + nCents % 10);
        *--p = static_cast<char>('0' + nCents / 10);
        *--p = '.';
        std::uint64_t nWhole = nHundredths / 100;
        do {
            *--p = static_cast<char>('0' + nWhole % 10);
            nWhole /= 10;
        } while (nWhole != 0);
        if (std::signbit(fValue)) {
            *--p = '-';
        }
        out.append(p, buf + sizeof buf);
        return;
    }
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

namespace {

// Powers of ten that a float holds exactly.
constexpr float kExactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr std::uint64_t kExactMantissaLimit = std::uint64_t{1} << 24;

// The common short decimals ("40.00", "-1", "5.46") without exponent: when the digits form an
// integer below 2^24 and at most ten of them follow the point, both the integer and the power
// of ten are exact floats, and one division rounds correctly, as from_chars would. Returns 0
// when the text needs the general parser.
std::size_t ParseShortDecimal(const char* pText, const char* pEnd, float& fValue) {
    const char* p = pText;
    const bool bNegative = p < pEnd && *p == '-';
    if (bNegative) {
        ++p;
    }
    std::uint64_t nMantissa = 0;
    int nDigits = 0;
    int nFraction = 0;
    bool bPoint = false;
    for (; p < pEnd; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            nMantissa = nMantissa * 10 + static_cast<std::uint64_t>(c - '0');
            ++nDigits;
            nFraction += bPoint ? 1 : 0;
            if (nMantissa >= kExactMantissaLimit || nDigits > 18) {
                return 0;
            }
        } else if (c == '.' && !bPoint) {
            bPoint = true;
        } else {
            break;
        }
    }
    if (nDigits == 0 || nFraction > 10 || (p < pEnd && (*p == 'e' || *p == 'E'))) {
        return 0;
    }
    const float fMagnitude = static_cast<float>(nMantissa) / kExactPowersOfTen[nFraction];
    fValue = bNegative ? -fMagnitude : fMagnitude;
    return static_cast<std::size_t>(p - pText);
}

}  // namespace

std::size_t ParseFloatPrefix(const char* pText, const char* pEnd, float& fValue) {
    if (const std::size_t nUsed = ParseShortDecimal(pText, pEnd, fValue); nUsed > 0) {
        return nUsed;
    }
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
