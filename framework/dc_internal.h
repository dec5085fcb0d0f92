#pragma once

#include <QFont>

// What the device context's pixel drawing (dc.cpp) and its vector drawing (dc_vector.cpp)
// share.

// The font of the diagram's labels: 11 pixels high in client units, at this many device pixels
// per unit.
QFont DeviceContextFont(double dScale = 1.0);

// The dotted pen of the platform: three pixels on, three off.
constexpr int kDotRun = 3;
