#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <vector>

// Where the wind speed labels of a polar chart go, in screen coordinates: each beside its own
// curve where the label's box touches no curve, no label placed before it and no obstacle
// (the rings' and angles' labels, the legend); a label that finds no such place beside its
// curve goes into a column right of everything, at the height of the curve's outermost point
// as far as the labels above and below it allow, joined to that point by a leader line.
struct PlacedLabel {
    QRectF box;
    // Where the leader line starts on the curve; only for a label in the column.
    QPointF anchor;
    bool bLeader = false;
    // False when there was no room even in the column (a chart too small for all its labels).
    bool bShown = false;
};

struct LabelRoom {
    // The chart's pole on screen: labels beside a curve sit away from it or towards it.
    QPointF pole;
    // Everything a label must stay inside.
    QRectF bounds;
    // The column's left edge: right of every curve and every angle label.
    double fColumnLeft = 0;
    // The column's lowest point (above the legend).
    double fColumnBottom = 0;
};

// curves[i] is polar i's curve as drawn; sizes[i] its label's size, or an empty size for a
// polar without a label. Labels are placed in the order given: the first get the best places.
std::vector<PlacedLabel> PlaceCurveLabels(const std::vector<QPolygonF>& curves,
                                          const std::vector<QSizeF>& sizes,
                                          const std::vector<QRectF>& obstacles,
                                          const LabelRoom& room);

// Whether a polyline crosses or enters a box.
bool PolylineTouches(const QPolygonF& line, const QRectF& box);
