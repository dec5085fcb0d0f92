#pragma once

#include <vector>

#include "data/angle_units.h"
#include "data/sailplan.h"
#include "framework/win_types.h"

// The diagram's coordinate system: the pole (the boat) at the logical origin, +y towards the
// wind (angle 0), +x to the right (angle 90), 100 logical units per knot. The arithmetic is
// single precision, rounded at the same steps as the drawing has always done, so that points
// land on the same logical units.

// π/180 and 180/π rounded to single precision.
constexpr float kDegToRad = static_cast<float>(kRadiansPerDegree);
constexpr float kRadToDeg = static_cast<float>(1.0 / kRadiansPerDegree);
// Logical units per knot.
constexpr float kUnitsPerKnot = 100.0f;
// The smallest scale radius, in logical units.
constexpr int kMinRadius = 200;

// The logical point of an angle (degrees) and a speed (knots); both coordinates truncated
// toward zero.
CPoint PolarToPoint(float fAngle, float fSpeed);

// The angle and speed of a logical point. For x >= 0 the angle lies in 0..180; left of the
// vertical axis it is negative above the pole and above 180 below it.
void PointToPolar(int x, int y, float* pfAngle, float* pfSpeed);

// The scale radius R for the current polar: 100 times the largest speed visited (every point
// of the sail plan with "Show All", else the current polar's), truncated, at least 200.
// pSailPlan may be null when bShowAll is false.
int ComputeScaleRadius(const SAILPLAN* pSailPlan, const PERF_POLAR& polar, bool bShowAll);

// Spacing of the speed rings for a scale radius, in logical units.
int RingSpacing(int nRadius);

// Sizes derived from the scale and the logical size of the window, in logical units.
// A control square and the first point's bearing line keep one size in screen pixels whatever
// the window's size (nClientWidth pixels across sizeLogical.cx logical units): in a maximised
// window squares scaled with it would hide the curve they sit on.
int ControlSquareHalfSide(CSize sizeLogical, int nClientWidth);
int TrackCrossHalfArm(int nRadius);
int FirstPointLineWidth(CSize sizeLogical, int nClientWidth);
int RingLabelRightEdge(int nRadius);

// The control-point square of a point at p.
CRect ControlSquare(CPoint p, int nHalfSide);
// Index of the first square that contains pt (lowest index where squares overlap), or -1.
int HitControlSquare(const std::vector<CRect>& aSquares, CPoint pt);
// Index of the vertex nearest to pt by squared integer distance (lowest index on ties), or -1
// when there are no vertices.
int NearestVertex(const std::vector<CPoint>& aVertices, CPoint pt);

// The vertices of a polar's curve in drawing order: each segment between two consecutive
// points goes in one-degree steps of linearly interpolated speed, so that it follows the polar
// coordinates; the joint between two segments appears twice. pSegmentStarts, when given,
// receives the index of each segment's first vertex.
void AppendCurveVertices(const PERF_POLAR& polar, std::vector<CPoint>& aVertices,
                         std::vector<std::size_t>* pSegmentStarts = nullptr);
