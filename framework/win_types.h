#pragma once

#include <cstdint>

#include "polar/polar_messages.h"

// Value types shared by the window framework and the plain-C++ core. They mirror the
// platform's own: integer coordinates, rectangles with inclusive left/top and exclusive
// right/bottom edges, colours as 0x00BBGGRR.

struct CPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // The platform's point-in-rectangle rule: lower bounds inclusive, upper bounds exclusive.
    bool PtInRect(CPoint pt) const {
        return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom;
    }
    friend bool operator==(const CRect&, const CRect&) = default;
};

using COLORREF = polar_api::COLORREF;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr std::uint8_t GetRValue(COLORREF cr) {
    return static_cast<std::uint8_t>(cr & 0xFF);
}
constexpr std::uint8_t GetGValue(COLORREF cr) {
    return static_cast<std::uint8_t>((cr >> 8) & 0xFF);
}
constexpr std::uint8_t GetBValue(COLORREF cr) {
    return static_cast<std::uint8_t>((cr >> 16) & 0xFF);
}
