// The diagram drawn as shapes (for SVG and PDF) by the same code that draws its pixels.
#include <QPainter>

#include "tests/support/diagram_fixture.h"

namespace {

using VectorDrawing = DiagramFixture;

int CountColour(const QImage& image, QRgb rgb) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == rgb ? 1 : 0;
        }
    }
    return n;
}

TEST_F(VectorDrawing, TheShapesMakeThePictureThePixelsShowAndLeaveThePixelsAlone) {
    AddPolar(m_plan, 10, 45, {{0, 0}, {40, 6}, {90, 8}, {150, 7}});
    AddPolar(m_plan, 20, 40, {{40, 8}, {90, 10}, {150, 9}});
    Host().Show(&m_plan, 0, true, false);
    const QImage pixels = Host().Image().copy();

    // Played at twice the size on an image: the shapes, not the pixels enlarged.
    QImage shapes(pixels.size() * 2, QImage::Format_RGB32);
    shapes.fill(Qt::black);
    {
        QPainter painter(&shapes);
        painter.scale(2.0, 2.0);
        Host().PaintVector(painter);
    }
    const auto at = [](QPoint p) { return p * 2 + QPoint(1, 1); };
    EXPECT_EQ(shapes.pixel(at(DeviceAt(25, 500))), Rgb(kSector));
    EXPECT_EQ(shapes.pixel(at(DeviceAt(60, 1300))), Rgb(kBackground));      // beyond the sector
    EXPECT_EQ(shapes.pixel(at(Device(PolarToPoint(90, 8)))), Rgb(kCurve));  // a square
    // Painted all over: black only where the axes and labels are.
    EXPECT_LT(CountColour(shapes, qRgb(0, 0, 0)), shapes.width() * shapes.height() / 50);
    // The lines as long as the pixels' and twice as wide: about four times as many pixels.
    for (const COLORREF cr : {kCurve, kOthers, kGrid}) {
        const int nPixels = CountColour(pixels, Rgb(cr));
        const int nShapes = CountColour(shapes, Rgb(cr));
        EXPECT_GT(nShapes, 3 * nPixels) << std::hex << cr;
        EXPECT_LT(nShapes, 5 * nPixels) << std::hex << cr;
    }

    // The window's image and its background bitmap are pixels again: a drag step's redraw
    // gives the same picture.
    EXPECT_EQ(Host().Image(), pixels);
    Host().Graph().RedrawForegroundNow();
    EXPECT_EQ(Host().Image(), pixels);
}

}  // namespace
