#include "diagram/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/polar_builders.h"

namespace {

TEST(Geometry, PolarToPointTruncatesTowardZero) {
    EXPECT_EQ(PolarToPoint(45, 10), (CPoint{707, 707}));
    EXPECT_EQ(PolarToPoint(0, 1), (CPoint{0, 100}));
    EXPECT_EQ(PolarToPoint(90, 1), (CPoint{100, 0}));
    EXPECT_EQ(PolarToPoint(180, 1), (CPoint{0, -100}));
    EXPECT_EQ(PolarToPoint(135, 10), (CPoint{707, -707}));
    EXPECT_EQ(PolarToPoint(-45, 10), (CPoint{-707, 707}));  // left of the axis
}

TEST(Geometry, PointToPolarCoversBothHalvesOfTheDiagram) {
    struct Case {
        int x, y;
        float fAngle, fSpeed;
    };
    for (const Case& c :
         {Case{0, 0, 0, 0}, Case{100, 0, 90, 1}, Case{0, -100, 180, 1}, Case{0, 250, 0, 2.5f},
          Case{-100, 100, -45, 1.4142135f}, Case{-100, -100, 225, 1.4142135f}}) {
        float fAngle = -1;
        float fSpeed = -1;
        PointToPolar(c.x, c.y, &fAngle, &fSpeed);
        EXPECT_NEAR(fAngle, c.fAngle, 1e-4) << c.x << "," << c.y;
        EXPECT_NEAR(fSpeed, c.fSpeed, 1e-6) << c.x << "," << c.y;
    }
    // Far outside any window the squares no longer fit 32 bits; the result stays sound.
    float fAngle = 0;
    float fSpeed = 0;
    PointToPolar(60000, 60000, &fAngle, &fSpeed);
    EXPECT_NEAR(fAngle, 45, 1e-3);
    EXPECT_NEAR(fSpeed, 848.528f, 1e-2);
}

TEST(Geometry, RoundTripOfAControlPointStaysWithinAUnit) {
    for (float a = 0; a <= 180; a += 7.5f) {
        const CPoint p = PolarToPoint(a, 7.25f);
        float fAngle = 0;
        float fSpeed = 0;
        PointToPolar(p.x, p.y, &fAngle, &fSpeed);
        EXPECT_NEAR(fSpeed, 7.25f, 0.02f);
        EXPECT_NEAR(fAngle, a, 0.2f);
    }
}

TEST(Geometry, ScaleRadiusFollowsTheFastestVisitedPoint) {
    SAILPLAN plan("Main");
    PERF_POLAR& slow = AddPolar(plan, 6, 45, {{40, 1.5f}, {90, 2.0f}});
    PERF_POLAR& fast = AddPolar(plan, 20, 40, {{40, 6.0f}, {90, 7.499f}});
    PERF_POLAR& empty = AddPolar(plan, 25, 40, {});
    PERF_POLAR& negative = AddPolar(plan, 30, 40, {{40, -3.0f}});
    EXPECT_EQ(ComputeScaleRadius(&plan, slow, false), 200);
    EXPECT_EQ(ComputeScaleRadius(&plan, empty, false), 200);
    EXPECT_EQ(ComputeScaleRadius(&plan, negative, false), 200);
    EXPECT_EQ(ComputeScaleRadius(&plan, fast, false), 749);
    EXPECT_EQ(ComputeScaleRadius(&plan, slow, true), 749);  // Show All: the whole sail plan
    AddPolar(plan, 40, 40, {{90, 30.0f}});
    EXPECT_EQ(ComputeScaleRadius(&plan, slow, true), 3000);
    PERF_POLAR& absurd = AddPolar(plan, 50, 40, {{90, 1e30f}});
    EXPECT_GT(ComputeScaleRadius(&plan, absurd, false), 0);  // no overflow
}

TEST(Geometry, RingSpacingAndDerivedSizes) {
    EXPECT_EQ(RingSpacing(200), 100);
    EXPECT_EQ(RingSpacing(750), 100);
    EXPECT_EQ(RingSpacing(751), 200);
    EXPECT_EQ(RingSpacing(1500), 200);
    EXPECT_EQ(RingSpacing(3000), 500);
    EXPECT_EQ(RingSpacing(6000), 1000);
    EXPECT_EQ(RingSpacing(6001), 2000);
    // A square keeps its pixels: 5 of them are 50 units at 10 units a pixel, and a window
    // four times as wide over the same logical size halves the units of a pixel's worth.
    EXPECT_EQ(ControlSquareHalfSide(CSize{3000, 2000}, 300), 50);
    EXPECT_EQ(ControlSquareHalfSide(CSize{3000, 2000}, 1200), 13);
    EXPECT_EQ(ControlSquareHalfSide(CSize{99, 50}, 990), 1);
    EXPECT_EQ(ControlSquareHalfSide(CSize{99, 50}, 0), 5);
    EXPECT_EQ(TrackCrossHalfArm(1000), 83);
    EXPECT_EQ(FirstPointLineWidth(CSize{3000, 2000}, 300), 10);
    EXPECT_EQ(FirstPointLineWidth(CSize{3000, 2000}, 6000), 1);
    EXPECT_EQ(RingLabelRightEdge(1000), -20);
    EXPECT_EQ(RingLabelRightEdge(749), -14);
}

TEST(Geometry, SquareHitsIncludeLowerAndExcludeUpperBounds) {
    const std::vector<CRect> squares = {ControlSquare({100, 100}, 10),
                                        ControlSquare({105, 100}, 10)};
    EXPECT_EQ(HitControlSquare(squares, {90, 90}), 0);     // left and bottom edges hit
    EXPECT_EQ(HitControlSquare(squares, {110, 100}), 1);   // right edge of 0, inside 1
    EXPECT_EQ(HitControlSquare(squares, {100, 110}), -1);  // top edge: no hit
    EXPECT_EQ(HitControlSquare(squares, {100, 100}), 0);   // overlap: the lower index
    EXPECT_EQ(HitControlSquare({}, {0, 0}), -1);
}

TEST(Geometry, NearestVertexPrefersTheFirstOfEqualDistances) {
    const std::vector<CPoint> vertices = {{0, 100}, {10, 100}, {10, 100}, {20, 100}};
    EXPECT_EQ(NearestVertex(vertices, {5, 100}), 0);
    EXPECT_EQ(NearestVertex(vertices, {11, 90}), 1);
    EXPECT_EQ(NearestVertex(vertices, {100, 100}), 3);
    EXPECT_EQ(NearestVertex({}, {0, 0}), -1);
}

std::vector<float> VertexAngles(const std::vector<CPoint>& vertices) {
    std::vector<float> angles;
    for (const CPoint& p : vertices) {
        float fAngle = 0;
        float fSpeed = 0;
        PointToPolar(p.x, p.y, &fAngle, &fSpeed);
        angles.push_back(std::round(fAngle));
    }
    return angles;
}

TEST(Geometry, CurveVerticesFollowOneDegreeSteps) {
    SAILPLAN plan("Main");
    std::vector<CPoint> vertices;
    AppendCurveVertices(AddPolar(plan, 6, 45, {{30, 5}, {35, 5}}), vertices);
    EXPECT_EQ(VertexAngles(vertices), (std::vector<float>{30, 31, 32, 33, 34, 35}));

    vertices.clear();
    AppendCurveVertices(AddPolar(plan, 8, 45, {{30, 5}, {32, 5}, {34, 5}}), vertices);
    EXPECT_EQ(VertexAngles(vertices), (std::vector<float>{30, 31, 32, 32, 33, 34}));

    vertices.clear();
    AppendCurveVertices(AddPolar(plan, 10, 45, {{40, 5}, {40.5f, 6}}), vertices);
    EXPECT_EQ(vertices.size(), 2u);

    vertices.clear();
    AppendCurveVertices(AddPolar(plan, 12, 45, {{90, 5}}), vertices);
    EXPECT_TRUE(vertices.empty());

    // The speed is interpolated linearly in the angle: halfway, halfway between the speeds.
    vertices.clear();
    AppendCurveVertices(AddPolar(plan, 14, 45, {{80, 4}, {100, 6}}), vertices);
    EXPECT_EQ(vertices[10], PolarToPoint(90, 5));
}

}  // namespace
