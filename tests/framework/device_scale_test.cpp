// Drawing on an image of a dense screen: client units in, device pixels out.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/dc.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// A memory context on a white bitmap of cx x cy client units, made compatible with a screen of
// dScale device pixels per unit, as the diagram makes its background.
struct ScaledCanvas {
    ScaledCanvas(int cx, int cy, double dScale) {
        screenBitmap.CreateCompatibleBitmap(nullptr, 1, 1);
        screenBitmap.Image().setDevicePixelRatio(dScale);
        screen.SelectObject(&screenBitmap);
        bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        dc.CreateCompatibleDC(&screen);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, cx, cy, kWhite);
    }
    const QImage& Image() const { return bitmap.Image(); }
    CBitmap screenBitmap;
    CDC screen;
    CBitmap bitmap;
    CDC dc;
};

int Round(double d) {
    return static_cast<int>(std::floor(d + 0.5));
}

TEST(DeviceScale, ShapesCoverTheirClientAreaInDevicePixelsAtEveryScale) {
    for (const double dScale : {1.0, 1.25, 1.5, 2.0}) {
        ScaledCanvas canvas(100, 60, dScale);
        EXPECT_EQ(canvas.Image().width(), static_cast<int>(std::ceil(100 * dScale))) << dScale;
        EXPECT_EQ(canvas.dc.DeviceScale(), dScale);
        CBrush brush(RGB(0, 200, 0));
        canvas.dc.SelectObject(&brush);
        canvas.dc.Rectangle(10, 10, 40, 30);
        const int left = Round(10 * dScale);
        const int right = Round(40 * dScale);  // excluded
        const int nOutline = Round(dScale);
        // The outline as thick as a client pixel is wide, the fill inside it, nothing outside.
        for (int k = 0; k < nOutline; ++k) {
            EXPECT_EQ(canvas.dc.GetPixel(left + k, Round(20 * dScale)), RGB(0, 0, 0)) << dScale;
        }
        EXPECT_EQ(canvas.dc.GetPixel(left + nOutline, Round(20 * dScale)), RGB(0, 200, 0));
        EXPECT_EQ(canvas.dc.GetPixel(right - 1, Round(20 * dScale)), RGB(0, 0, 0)) << dScale;
        EXPECT_EQ(canvas.dc.GetPixel(right, Round(20 * dScale)), kWhite) << dScale;
        EXPECT_EQ(canvas.dc.GetPixel(left - 1, Round(20 * dScale)), kWhite) << dScale;
    }
}

TEST(DeviceScale, OnePixelPensKeepTheirLookAndInvertBackExactly) {
    ScaledCanvas canvas(100, 60, 2.0);
    // The default pen draws as wide as a client pixel: two device rows.
    canvas.dc.MoveTo(5, 10);
    canvas.dc.LineTo(45, 10);
    EXPECT_EQ(canvas.dc.GetPixel(40, 19), kWhite);
    EXPECT_EQ(canvas.dc.GetPixel(40, 20), RGB(0, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(40, 21), RGB(0, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(40, 22), kWhite);

    // A dotted pen stays dotted, its runs as much longer: three client pixels on, three off.
    CPen dotted(PS_DOT, 1, RGB(0, 0, 255));
    canvas.dc.SelectObject(&dotted);
    canvas.dc.MoveTo(0, 40);
    canvas.dc.LineTo(100, 40);
    int nRuns = 0;
    bool bWasOn = false;
    for (int x = 0; x < 200; ++x) {
        const bool bOn = canvas.dc.GetPixel(x, 80) == RGB(0, 0, 255);
        nRuns += bOn && !bWasOn ? 1 : 0;
        bWasOn = bOn;
    }
    EXPECT_GE(nRuns, 14);
    EXPECT_LE(nRuns, 18);

    // Inverting a slanted wide line twice gives back every pixel.
    const QImage before = canvas.Image().copy();
    canvas.dc.SelectObject(static_cast<CPen*>(nullptr));
    canvas.dc.SetROP2(R2_NOT);
    for (int k = 0; k < 2; ++k) {
        canvas.dc.MoveTo(3, 55);
        canvas.dc.LineTo(97, 4);
        if (k == 0) {
            EXPECT_NE(canvas.Image(), before);
        }
    }
    EXPECT_EQ(canvas.Image(), before);
}

TEST(DeviceScale, TextIsDrawnAtTheDeviceResolutionAndMeasuredInClientUnits) {
    auto inkHeight = [](double dScale) {
        ScaledCanvas canvas(120, 60, dScale);
        canvas.dc.SetBkMode(TRANSPARENT);
        canvas.dc.TextOut(10, 10, "12 Kts");
        int nTop = 1 << 20;
        int nBottom = -1;
        for (int y = 0; y < canvas.Image().height(); ++y) {
            for (int x = 0; x < canvas.Image().width(); ++x) {
                if (canvas.dc.GetPixel(x, y) != kWhite) {
                    nTop = std::min(nTop, y);
                    nBottom = std::max(nBottom, y);
                }
            }
        }
        return nBottom - nTop + 1;
    };
    const int nSingle = inkHeight(1.0);
    const int nDouble = inkHeight(2.0);
    ASSERT_GT(nSingle, 4);
    EXPECT_GE(nDouble, 2 * nSingle - 2);
    EXPECT_LE(nDouble, 2 * nSingle + 2);
    ScaledCanvas canvas(120, 60, 2.0);
    ScaledCanvas plain(120, 60, 1.0);
    EXPECT_EQ(canvas.dc.GetTextExtent("12 Kts"), plain.dc.GetTextExtent("12 Kts"));
}

TEST(DeviceScale, BlockTransferCopiesDevicePixelsOneForOne) {
    for (const double dScale : {1.5, 2.0}) {
        ScaledCanvas source(80, 50, dScale);
        source.dc.Pie(10, 10, 60, 45, 60, 20, 10, 20);
        source.dc.TextOut(5, 5, "7.5");
        ScaledCanvas target(80, 50, dScale);
        target.dc.BitBlt(0, 0, 80, 50, &source.dc, 0, 0, SRCCOPY);
        EXPECT_EQ(target.Image(), source.Image()) << dScale;
    }
}

}  // namespace
