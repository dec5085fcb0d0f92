#include "tests/desktop/dense_screen.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

QImage ShownOnScreen(const QWidget* pWidget) {
    // Read from the top-level window itself: its origin is at a whole device pixel, where the
    // screen's logical coordinates may fall between two.
    const QWidget* pWindow = pWidget->window();
    const QPoint at = pWidget->mapTo(pWindow, QPoint(0, 0));
    QImage screen =
        QGuiApplication::primaryScreen()
            ->grabWindow(pWindow->winId(), at.x(), at.y(), pWidget->width(), pWidget->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    screen.setDevicePixelRatio(1.0);
    return screen;
}

void ExpectDrawnAtScreenPixels(const QImage& shown, const QImage& single) {
    ASSERT_EQ(single.size() * 2, shown.size());
    QImage enlarged = single.convertToFormat(QImage::Format_RGB32)
                          .scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    enlarged.setDevicePixelRatio(1.0);
    EXPECT_NE(shown, enlarged) << "the screen shows a drawing at one pixel per unit, enlarged";
    int nDiffering = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            nDiffering += shown.pixel(x, y) != enlarged.pixel(x, y) ? 1 : 0;
        }
    }
    // Edges differ; the areas between them do not: it is the same drawing.
    EXPECT_LT(nDiffering, shown.width() * shown.height() / 10);
}
