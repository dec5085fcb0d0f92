#pragma once

#include <QImage>

class QWidget;

// What a screen at scale 2 (QT_SCALE_FACTOR=2) shows of a drawing, against the same drawing
// at one pixel per unit.

// The pixels the screen shows of a widget, at the server's own pixels (a ratio of 1). Call it
// on the application's thread.
QImage ShownOnScreen(const QWidget* pWidget);

// Expects a drawing the screen shows to be drawn at the screen's pixels: twice the size of the
// drawing at one pixel per unit, not that drawing enlarged pixel for pixel, yet close to it.
void ExpectDrawnAtScreenPixels(const QImage& shown, const QImage& single);
