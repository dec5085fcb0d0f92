#include "editor/text_values.h"

#include <algorithm>
#include <charconv>

#include "data/number_text.h"
#include "framework/dialog.h"

bool ReadLeadingNumber(const std::string& strTyped, float& fValue) {
    const std::string strText = WithDecimalPoint(strTyped);
    std::size_t i = 0;
    while (i < strText.size() && (strText[i] == ' ' || strText[i] == '\t' || strText[i] == '\n' ||
                                  strText[i] == '\r' || strText[i] == '\v' || strText[i] == '\f')) {
        ++i;
    }
    fValue = 0.0f;
    return ParseFloatPrefix(strText.data() + i, strText.data() + strText.size(), fValue) != 0;
}

float Atof(const std::string& strText) {
    float f = 0.0f;
    return ReadLeadingNumber(strText, f) ? f : 0.0f;
}

std::string FormatOneDecimal(double dValue) {
    char buf[64];
    const auto [p, ec] = std::to_chars(buf, buf + sizeof buf, dValue, std::chars_format::fixed, 1);
    (void)ec;
    std::string s(buf, p);
    if (s.size() < 2) {
        s.insert(0, 2 - s.size(), ' ');
    }
    return s;
}

std::string FormatTwoDecimals(float fValue) {
    return FormatFixed2(fValue);
}

std::string WithoutCommas(std::string strName) {
    strName.erase(std::remove(strName.begin(), strName.end(), ','), strName.end());
    return strName;
}
