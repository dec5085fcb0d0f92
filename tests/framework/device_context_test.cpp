#include <gtest/gtest.h>

#include <cmath>

#include "data/angle_units.h"
#include "framework/dc.h"

namespace {

// A memory context on a white bitmap of the given size.
struct Canvas {
    Canvas(int cx, int cy) {
        bitmap.CreateCompatibleBitmap(nullptr, cx, cy);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, cx, cy, RGB(255, 255, 255));
    }
    CBitmap bitmap;
    CDC dc;
};

TEST(DeviceContext, IsotropicMappingOfTheDiagram) {
    // A 600 x 400 window, R = 1000: the pole at a fifth of the width and half the height,
    // 0.2 pixels per logical unit, y pointing up.
    Mapping map;
    map.SetMapMode(MM_ISOTROPIC);
    map.SetWindowExt({2000, 2000});
    map.SetViewportExt({600, -400});
    map.SetViewportOrg({120, 200});
    EXPECT_EQ(map.GetViewportExt(), (CSize{400, -400}));
    EXPECT_EQ(map.LPtoDP({0, 0}), (CPoint{120, 200}));
    EXPECT_EQ(map.LPtoDP({1000, 1000}), (CPoint{320, 0}));
    EXPECT_EQ(map.LPtoDP({0, -1000}), (CPoint{120, 400}));
    EXPECT_EQ(map.DPtoLP({121, 199}), (CPoint{5, 5}));
    EXPECT_EQ(map.DPtoLP({0, 0}), (CPoint{-600, 1000}));
    // Halves round upwards, also below zero.
    EXPECT_EQ(map.LPtoDP({-2, 0}), (CPoint{120, 200}));  // 119.6 -> 120
    EXPECT_EQ(map.LPtoDP({-3, 0}), (CPoint{119, 200}));  // 119.4 -> 119
}

TEST(DeviceContext, InvertingALineTwiceRestoresEveryPixel) {
    Canvas canvas(64, 48);
    CPen pen(PS_SOLID, 1, RGB(200, 10, 10));
    canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(2, 3);
    canvas.dc.LineTo(40, 30);
    canvas.dc.LineTo(10, 45);
    const QImage before = canvas.bitmap.Image().copy();
    canvas.dc.SetROP2(R2_NOT);
    for (int pass = 0; pass < 2; ++pass) {
        canvas.dc.MoveTo(0, 0);
        canvas.dc.LineTo(63, 47);  // crosses the red lines
        canvas.dc.LineTo(63, 0);
        canvas.dc.LineTo(0, 47);
        if (pass == 0) {
            EXPECT_NE(canvas.bitmap.Image(), before);
            EXPECT_EQ(canvas.dc.GetPixel(0, 0), RGB(0, 0, 0));  // white inverted
        }
    }
    EXPECT_EQ(canvas.bitmap.Image(), before);
}

TEST(DeviceContext, LinesLeaveOutTheirEndPointAndDotsRunThreeOnThreeOff) {
    Canvas canvas(20, 5);
    CPen dotted(PS_DOT, 1, RGB(0, 0, 0));
    canvas.dc.SelectObject(&dotted);
    canvas.dc.SetBkMode(TRANSPARENT);
    canvas.dc.MoveTo(0, 2);
    canvas.dc.LineTo(12, 2);
    std::string pattern;
    for (int x = 0; x < 13; ++x) {
        pattern += canvas.dc.GetPixel(x, 2) == RGB(0, 0, 0) ? '#' : '.';
    }
    EXPECT_EQ(pattern, "###...###....");
}

// The colour under a point at the given screen angle (degrees counter-clockwise from three
// o'clock) and distance from the centre (32, 32).
COLORREF At(Canvas& canvas, double dDegrees, double dRadius) {
    const double a = dDegrees * kRadiansPerDegree;
    return canvas.dc.GetPixel(static_cast<int>(std::lround(32 + dRadius * std::cos(a))),
                              static_cast<int>(std::lround(32 - dRadius * std::sin(a))));
}

TEST(DeviceContext, PiesAndArcsRunCounterClockwiseFromTheFirstRadial) {
    Canvas canvas(64, 64);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    CBrush brush(RGB(0, 0, 255));
    canvas.dc.SelectObject(&pen);
    canvas.dc.SelectObject(&brush);
    // From three o'clock counter-clockwise to twelve o'clock: the upper right quarter.
    canvas.dc.Pie(2, 2, 62, 62, 62, 32, 32, 2);
    EXPECT_EQ(At(canvas, 45, 15), RGB(0, 0, 255));
    EXPECT_EQ(At(canvas, 135, 15), RGB(255, 255, 255));
    EXPECT_EQ(At(canvas, 315, 15), RGB(255, 255, 255));

    Canvas arcs(64, 64);
    arcs.dc.SelectObject(&pen);
    // From twelve o'clock counter-clockwise to six o'clock: the left half of the circle.
    arcs.dc.Arc(2, 2, 62, 62, 32, 2, 32, 62);
    int nLeft = 0;
    int nRight = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (arcs.dc.GetPixel(x, y) == RGB(0, 0, 255)) {
                (x < 31 ? nLeft : nRight) += 1;
            }
        }
    }
    EXPECT_GT(nLeft, 40);
    EXPECT_LT(nRight, 4);
}

TEST(DeviceContext, RectanglesAndBlockTransferInLogicalUnits) {
    Canvas source(100, 80);
    source.dc.SetMapMode(MM_ISOTROPIC);
    source.dc.SetWindowExt(200, 200);
    source.dc.SetViewportExt(100, -80);
    source.dc.SetViewportOrg(20, 40);
    CBrush brush(RGB(0, 200, 0));
    source.dc.SelectObject(&brush);
    source.dc.Rectangle(-10, 10, 10, -10);  // logical, y up
    EXPECT_EQ(source.dc.GetPixel(20, 40), RGB(0, 200, 0));
    EXPECT_EQ(source.dc.GetPixel(16, 36), RGB(0, 0, 0));  // the outline, default black pen

    BITMAP info{};
    ASSERT_EQ(source.bitmap.GetObject(sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidthBytes * info.bmHeight, 100 * 4 * 80);
    std::vector<unsigned char> bits(static_cast<std::size_t>(info.bmWidthBytes * info.bmHeight));
    source.bitmap.GetBitmapBits(static_cast<DWORD>(bits.size()), bits.data());
    Canvas copy(100, 80);
    copy.bitmap.SetBitmapBits(static_cast<DWORD>(bits.size()), bits.data());
    EXPECT_EQ(copy.bitmap.Image(), source.bitmap.Image());

    // The diagram copies the whole client area between two contexts of the same mapping,
    // naming it in logical units.
    Canvas target(100, 80);
    target.dc.SetMapMode(MM_ISOTROPIC);
    target.dc.SetWindowExt(200, 200);
    target.dc.SetViewportExt(100, -80);
    target.dc.SetViewportOrg(20, 40);
    CPoint topLeft{0, 0};
    CPoint bottomRight{100, 80};
    source.dc.DPtoLP(&topLeft);
    source.dc.DPtoLP(&bottomRight);
    target.dc.BitBlt(topLeft.x, bottomRight.y, bottomRight.x - topLeft.x, topLeft.y - bottomRight.y,
                     &source.dc, topLeft.x, bottomRight.y, SRCCOPY);
    EXPECT_EQ(target.bitmap.Image(), source.bitmap.Image());
}

TEST(DeviceContext, TextIsAnchoredByItsRightEdgeAndItsBottomOrTop) {
    Canvas canvas(120, 80);
    canvas.dc.SetBkMode(TRANSPARENT);
    canvas.dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    canvas.dc.TextOut(60, 40, "5 Kts");
    canvas.dc.SetTextAlign(TA_RIGHT | TA_TOP);
    canvas.dc.TextOut(60, 41, "5 Kts");
    int nAbove = 0;
    int nBelow = 0;
    int nRightOfAnchor = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (canvas.dc.GetPixel(x, y) != RGB(255, 255, 255)) {
                (y < 40 ? nAbove : nBelow) += 1;
                nRightOfAnchor += x >= 60 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(nAbove, 10);
    EXPECT_GT(nBelow, 10);
    EXPECT_EQ(nRightOfAnchor, 0);
}

}  // namespace
