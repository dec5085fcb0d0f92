#include "diagram/palette.h"

#include <charconv>

DiagramPalette DefaultPalette() {
    return {RGB(0xA8, 0xB4, 0xC0), RGB(0xFF, 0xFF, 0xFF), RGB(0x10, 0x3C, 0xB4),
            RGB(0xD4, 0xF0, 0xD4), RGB(0xF0, 0x9A, 0x3C)};
}

std::optional<DiagramPalette> ParsePalette(const std::string& strText) {
    DiagramPalette palette{};
    std::size_t nStart = 0;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const std::size_t nComma = strText.find(',', nStart);
        const bool bLast = i + 1 == palette.size();
        if (bLast != (nComma == std::string::npos)) {
            return std::nullopt;
        }
        std::string part = strText.substr(nStart, bLast ? std::string::npos : nComma - nStart);
        nStart = nComma + 1;
        while (!part.empty() && part.front() == ' ') {
            part.erase(0, 1);
        }
        while (!part.empty() && part.back() == ' ') {
            part.pop_back();
        }
        if (!part.empty() && part.front() == '#') {
            part.erase(0, 1);
        }
        unsigned nRgb = 0;
        const auto [p, ec] = std::from_chars(part.data(), part.data() + part.size(), nRgb, 16);
        if (part.size() != 6 || ec != std::errc() || p != part.data() + part.size()) {
            return std::nullopt;
        }
        palette[i] = RGB(static_cast<std::uint8_t>(nRgb >> 16),
                         static_cast<std::uint8_t>(nRgb >> 8), static_cast<std::uint8_t>(nRgb));
    }
    return palette;
}
