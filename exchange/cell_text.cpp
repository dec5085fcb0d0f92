#include "exchange/cell_text.h"

#include <algorithm>
#include <cmath>

#include "data/number_text.h"
#include "data/text_encoding.h"

std::string FormatExchangeNumber(float fValue) {
    std::string s = FormatFixed2(fValue);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') {
            s.pop_back();
        }
        if (!s.empty() && s.back() == '.') {
            s.pop_back();
        }
    }
    if (s == "-0") {
        s = "0";
    }
    return s;
}

std::optional<float> ParseExchangeNumber(std::string_view cell, bool bDecimalComma) {
    while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) {
        cell.remove_prefix(1);
    }
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t' || cell.back() == '\r')) {
        cell.remove_suffix(1);
    }
    if (cell.empty()) {
        return std::nullopt;
    }
    std::string withPoint;
    if (bDecimalComma && cell.find(',') != std::string_view::npos) {
        withPoint.assign(cell);
        std::replace(withPoint.begin(), withPoint.end(), ',', '.');
        cell = withPoint;
    }
    float f = 0;
    const std::size_t nUsed = ParseFloatPrefix(cell.data(), cell.data() + cell.size(), f);
    if (nUsed != cell.size() || !std::isfinite(f)) {
        return std::nullopt;
    }
    return f;
}

std::optional<float> ParseExchangeAngle(std::string_view cell, bool bDecimalComma) {
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t' || cell.back() == '\r')) {
        cell.remove_suffix(1);
    }
    if (cell.size() >= 2 && cell.substr(cell.size() - 2) == "\xC2\xB0") {
        cell.remove_suffix(2);
    } else if (!cell.empty() && cell.back() == '\xB0') {
        cell.remove_suffix(1);
    }
    return ParseExchangeNumber(cell, bDecimalComma);
}

std::string ShownCell(std::string_view cell) {
    const std::string_view cut = cell.substr(0, 20);
    std::string out = "'";
    for (std::size_t i = 0; i < cut.size();) {
        const auto c = static_cast<unsigned char>(cut[i]);
        std::size_t nLength = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (nLength > 1 && i + nLength <= cut.size() && IsValidUtf8(cut.substr(i, nLength))) {
            out.append(cut.substr(i, nLength));
            i += nLength;
        } else if (nLength == 1 && c >= 0x20 && c != 0x7F) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
            ++i;
        }
    }
    return out + (cell.size() > 20 ? "...'" : "'");
}
