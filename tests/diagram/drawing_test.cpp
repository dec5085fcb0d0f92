#include "tests/support/diagram_fixture.h"

namespace {

using Drawing = DiagramFixture;

TEST_F(Drawing, TheTackingSectorFillsOnlyTheTackingAngle) {
    AddPolar(m_plan, 10, 45, {{90, 10}});  // R = 1000
    Host().Show(&m_plan, 0, true, false);
    ASSERT_EQ(Host().Graph().GetRadius(), 1000);
    EXPECT_EQ(Device({0, 0}), QPoint(120, 200));
    EXPECT_EQ(Pixel(DeviceAt(25, 500).x(), DeviceAt(25, 500).y()), Rgb(kSector));
    EXPECT_EQ(Pixel(DeviceAt(35, 900).x(), DeviceAt(35, 900).y()), Rgb(kSector));
    EXPECT_NE(Pixel(DeviceAt(55, 500).x(), DeviceAt(55, 500).y()), Rgb(kSector));
    EXPECT_NE(Pixel(DeviceAt(25, 1100).x(), DeviceAt(25, 1100).y()), Rgb(kSector));  // beyond R
    // A tacking angle of 0 draws no sector at all.
    m_plan.m_aPolars[0]->m_fTackingAngle = 0;
    Host().Show(&m_plan, 0, true, false);
    EXPECT_NE(Pixel(DeviceAt(5, 500).x(), DeviceAt(5, 500).y()), Rgb(kSector));
}

// Whether a dotted ring of this logical radius crosses the sector of angles 72 to 78 degrees.
bool RingAt(Drawing& t, DiagramHost& host, int nRadius) {
    for (double a = 72; a <= 78; a += 0.25) {
        for (double d = -1.5; d <= 1.5; d += 0.5) {
            const double r = nRadius + d * 2.0 * host.Graph().GetRadius() / 400.0;
            const QPoint p = t.DeviceAt(a, r);
            if (host.Image().valid(p) && host.Image().pixel(p) == qRgb(0, 128, 0)) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(Drawing, SpeedRingsFollowTheScale) {
    const struct {
        float fSpeed;
        int nRadius;
        int nSpacing;
    } cases[] = {{1.5f, 200, 100}, {10.0f, 1000, 200}, {60.0f, 6000, 1000}, {60.011f, 6001, 2000}};
    for (const auto& c : cases) {
        m_plan.RemoveAllPolars();
        AddPolar(m_plan, 10, 0, {{150, c.fSpeed}});
        Host().Show(&m_plan, 0, true, false);
        ASSERT_EQ(Host().Graph().GetRadius(), c.nRadius);
        for (int r = c.nSpacing; r < 2 * c.nRadius; r += c.nSpacing) {
            EXPECT_TRUE(RingAt(*this, Host(), r)) << "R " << c.nRadius << " ring " << r;
        }
        // Nothing between the rings, and no ring at 2R.
        EXPECT_FALSE(RingAt(*this, Host(), c.nSpacing * 3 / 2)) << c.nRadius;
        if (c.nRadius == 200) {
            EXPECT_FALSE(RingAt(*this, Host(), 400));
        }
    }
}

TEST_F(Drawing, CurveVerticesAndSquaresSitWhereThePointsAre) {
    PERF_POLAR& polar = AddPolar(m_plan, 10, 40, {{30, 5}, {32, 5}, {34, 5}, {90, 6}});
    Host().Show(&m_plan, 0, true, false);
    std::vector<CPoint> expected;
    AppendCurveVertices(polar, expected);
    EXPECT_EQ(Host().Graph().CurvePoints(), expected);
    ASSERT_EQ(Host().Graph().PointRects().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const CRect& rc = Host().Graph().PointRects()[i];
        const CPoint p = PolarToPoint(polar.m_aVectors[i]->m_fAngle, polar.m_aVectors[i]->m_fSpeed);
        EXPECT_EQ((rc.left + rc.right) / 2, p.x);
        EXPECT_EQ((rc.top + rc.bottom) / 2, p.y);
        // Filled with the curve's colour on screen.
        const QPoint centre = Device(p);
        EXPECT_EQ(Pixel(centre.x(), centre.y()), Rgb(kCurve)) << i;
    }
}

TEST_F(Drawing, TheOtherPolarsAreDrawnInTheirColour) {
    AddPolar(m_plan, 6, 40, {{40, 3}, {90, 4}});
    AddPolar(m_plan, 12, 40, {{40, 6}, {90, 7}});
    Host().Show(&m_plan, 0, false, false);
    const QPoint p = Device(PolarToPoint(65, 6.5f));
    bool bFound = false;
    for (int dy = -2; dy <= 2 && !bFound; ++dy) {
        for (int dx = -2; dx <= 2 && !bFound; ++dx) {
            bFound = Pixel(p.x() + dx, p.y() + dy) == Rgb(kOthers);
        }
    }
    EXPECT_TRUE(bFound);
}

TEST_F(Drawing, TheTrackCrossInvertsAndRestoresEveryPixel) {
    AddPolar(m_plan, 10, 40, {{40, 5}, {60, 6}, {90, 6.5f}});
    Host().Show(&m_plan, 0, true, true);
    const QImage before = Host().Image().copy();
    // Reselecting the same point removes the cross, redraws the square and draws the cross.
    Host().Graph().SelectPoint(0);
    EXPECT_EQ(Host().Image(), before);
}

TEST_F(Drawing, ADragRedrawLeavesTheStaticPartAlone) {
    PERF_POLAR& polar = AddPolar(m_plan, 10, 40, {{40, 5}, {60, 6}, {90, 6.5f}});
    AddPolar(m_plan, 14, 40, {{40, 6}, {90, 7}});
    Host().Show(&m_plan, 0, false, false);
    const QImage background = Host().Graph().BackgroundImage().Image().copy();
    polar.m_aVectors[1]->m_fSpeed = 5.5f;
    Host().Graph().RedrawForegroundNow();
    EXPECT_EQ(Host().Graph().BackgroundImage().Image(), background);
    // Every pixel that differs from the static picture belongs to the curve or a square.
    const QImage& now = Host().Image();
    for (int y = 0; y < now.height(); ++y) {
        for (int x = 0; x < now.width(); ++x) {
            if (now.pixel(x, y) != background.pixel(x, y)) {
                ASSERT_TRUE(now.pixel(x, y) == Rgb(kCurve) || now.pixel(x, y) == Rgb(kGrid))
                    << x << "," << y;
            }
        }
    }
}

// The share of a line's samples that hit the grid colour within nReach pixels along dStep (a
// solid line nearly all, a dotted one about half).
double GridShare(Drawing& t, const std::vector<QPoint>& samples, const std::vector<QPointF>& across,
                 int nReach) {
    int nHits = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        bool bHit = false;
        for (int d = -nReach; d <= nReach && !bHit; ++d) {
            const QPoint p = samples[i] + (across[i] * d).toPoint();
            bHit = t.Pixel(p.x(), p.y()) == Drawing::Rgb(Drawing::kGrid);
        }
        nHits += bHit ? 1 : 0;
    }
    return static_cast<double>(nHits) / static_cast<double>(samples.size());
}

TEST_F(Drawing, AxesStayOnePixelAndDottedPensTurnSolidOnlyWhenWider) {
    for (const bool bLarge : {false, true}) {
        m_pHost.reset();
        m_plan.RemoveAllPolars();
        // A slow polar in a large window: more than two device pixels per logical unit.
        AddPolar(m_plan, 10, 45, {{90, bLarge ? 0.5f : 10.0f}});
        Host(bLarge ? 1500 : 600, bLarge ? 1000 : 400).Show(&m_plan, 0, true, false);
        const int R = Host().Graph().GetRadius();
        const double dPixelsPerUnit = (Device({R, 0}).x() - Device({0, 0}).x()) / double(R);
        ASSERT_EQ(dPixelsPerUnit > 1.5, bLarge) << dPixelsPerUnit;
        // The vertical axis: one black pixel wide, whatever the scale.
        const QPoint axis = Device({0, R * 3 / 8});
        int nBlack = 0;
        for (int x = axis.x() - 5; x <= axis.x() + 5; ++x) {
            nBlack += Pixel(x, axis.y()) == qRgb(0, 0, 0) ? 1 : 0;
        }
        EXPECT_EQ(nBlack, 1) << (bLarge ? "large" : "small") << " scale";
        // A ray and a ring, sampled along their own pixels: both dotted, or both solid.
        std::vector<QPoint> ray;
        std::vector<QPoint> ring;
        std::vector<QPointF> rayAcross;
        std::vector<QPointF> ringAcross;
        const QPoint origin = Device({0, 0});
        const double dRing = (Device({RingSpacing(R), 0}).x() - origin.x());
        const double dRay = (Device({R, 0}).x() - origin.x());
        for (int k = 0; k < 200; ++k) {
            const double t = (0.3 + 0.6 * k / 200.0) * dRay;
            const double a = (55 + 30.0 * k / 200.0) * kRadiansPerDegree;
            const double r = 40 * kRadiansPerDegree;
            ray.push_back(QPoint(static_cast<int>(std::lround(origin.x() + t * std::sin(r))),
                                 static_cast<int>(std::lround(origin.y() - t * std::cos(r)))));
            ring.push_back(QPoint(static_cast<int>(std::lround(origin.x() + dRing * std::sin(a))),
                                  static_cast<int>(std::lround(origin.y() - dRing * std::cos(a)))));
            rayAcross.push_back(QPointF(std::cos(r), std::sin(r)));
            ringAcross.push_back(QPointF(std::sin(a), -std::cos(a)));
        }
        if (bLarge) {
            EXPECT_GT(GridShare(*this, ray, rayAcross, 1), 0.95);
            EXPECT_GT(GridShare(*this, ring, ringAcross, 2), 0.95);
        } else {
            EXPECT_LT(GridShare(*this, ray, rayAcross, 1), 0.75);
            EXPECT_LT(GridShare(*this, ring, ringAcross, 2), 0.75);
        }
    }
}

}  // namespace

namespace {

TEST_F(Drawing, OnADenseScreenTheDiagramIsDrawnAtItsPixelsNotEnlarged) {
    AddPolar(m_plan, 10, 45, {{0, 0}, {40, 6}, {90, 8}, {150, 7}});
    Host().Show(&m_plan, 0, true, false);
    const QImage single = Host().Image().copy();
    const QPoint axis = Device({0, 650});  // between two rings
    const QPoint sector = DeviceAt(25, 500);
    const QPoint point = Device(PolarToPoint(90, 8));

    Host().SetDeviceScale(2.0);
    const QImage& dense = Host().Image();
    ASSERT_EQ(dense.size(), single.size() * 2);
    const QImage enlarged =
        single.scaled(dense.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .convertToFormat(dense.format());
    EXPECT_NE(dense, enlarged);
    // The same picture, only finer: few pixels differ from the enlarged one.
    int nDiffering = 0;
    for (int y = 0; y < dense.height(); ++y) {
        for (int x = 0; x < dense.width(); ++x) {
            nDiffering += dense.pixel(x, y) != enlarged.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(nDiffering, 100);
    EXPECT_LT(nDiffering, dense.width() * dense.height() / 20);
    // The axis as wide as one client pixel, the sector where it was.
    EXPECT_EQ(dense.pixel(2 * axis.x(), 2 * axis.y()), qRgb(0, 0, 0));
    EXPECT_EQ(dense.pixel(2 * axis.x() + 1, 2 * axis.y()), qRgb(0, 0, 0));
    EXPECT_NE(dense.pixel(2 * axis.x() + 2, 2 * axis.y()), qRgb(0, 0, 0));
    EXPECT_EQ(dense.pixel(2 * sector.x(), 2 * sector.y()), Rgb(kSector));
    // The mouse still speaks client units: a press on the point selects it.
    GuiDriver::Press(GraphWidget(), point);
    GuiDriver::Release(GraphWidget(), point);
    EXPECT_EQ(Host().Graph().GetSelected(), 2);
}

}  // namespace
