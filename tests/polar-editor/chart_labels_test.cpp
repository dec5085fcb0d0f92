// The charts' labels cover nothing: measured on what the chart last painted, at one and two
// device pixels a pixel, on the bundled sample and on a sail plan of close wind speeds.
#include "apps/polar-editor/chart_labels.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "apps/polar-editor/crossover_chart.h"
#include "apps/polar-editor/polar_chart.h"
#include "apps/polar-editor/viewed_file.h"
#include "tests/support/polar_builders.h"

namespace {

// Renders the chart at a size and a device pixel ratio, as a screen at that scale paints it.
void Paint(PolarChart& chart, QSize size, double fRatio) {
    chart.resize(size);
    QImage image((QSizeF(size) * fRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(fRatio);
    chart.render(&image);
}

// Every label apart from every other, every wind speed label apart from every curve, all
// labels shown and inside the chart.
void ExpectNothingCovered(const PolarChart& chart, int nPolars, const std::string& strWhere) {
    SCOPED_TRACE(strWhere);
    EXPECT_EQ(chart.HiddenLabelCount(), 0);
    EXPECT_EQ(static_cast<int>(chart.WindLabelBoxes().size()), nPolars);
    std::vector<QRectF> all = chart.FixedLabelBoxes();
    all.insert(all.end(), chart.WindLabelBoxes().begin(), chart.WindLabelBoxes().end());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_TRUE(QRectF(chart.rect()).contains(all[i])) << "label " << i;
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            EXPECT_FALSE(all[i].intersects(all[j])) << "labels " << i << " and " << j;
        }
    }
    for (const QRectF& box : chart.WindLabelBoxes()) {
        for (const QPolygonF& curve : chart.CurvesOnScreen()) {
            EXPECT_FALSE(PolylineTouches(curve, box))
                << "label at " << box.x() << "," << box.y() << " on a curve";
        }
    }
}

const QSize kSizes[] = {{520, 520}, {420, 300}, {900, 640}, {300, 420}};

TEST(ChartLabels, OnTheSampleNoLabelCoversAnotherOrACurve) {
    const ViewedFile file = ReadViewedFile(POLAR_SAMPLE_FILE);
    ASSERT_FALSE(file.aSailPlans.empty());
    PolarChart chart;
    for (const auto& pSailPlan : file.aSailPlans) {
        chart.ShowSailPlan(pSailPlan.get(), 0);
        for (QSize size : kSizes) {
            for (double fRatio : {1.0, 2.0}) {
                Paint(chart, size, fRatio);
                ExpectNothingCovered(chart, pSailPlan->GetPolarCount(),
                                     pSailPlan->m_strName + " " + std::to_string(size.width()) +
                                         "x" + std::to_string(size.height()) + " at " +
                                         std::to_string(fRatio));
            }
        }
    }
}

TEST(ChartLabels, TwelveCloseWindSpeedsAllFindARoom) {
    SailPlanArray plans;
    SAILPLAN& plan = AddSailPlan(plans, "Close");
    // 10 to 15.5 knots of wind half a knot apart: curves a few pixels from each other.
    for (int n = 0; n < 12; ++n) {
        const float f = 1.0f + 0.03f * static_cast<float>(n);
        AddPolar(plan, 10.0f + 0.5f * static_cast<float>(n), 42.0f,
                 {{42, 5.2f * f},
                  {60, 6.3f * f},
                  {90, 6.9f * f},
                  {120, 6.8f * f},
                  {150, 5.9f * f},
                  {180, 4.8f * f}});
    }
    PolarChart chart;
    for (int nChosen : {0, 11, -1}) {
        chart.ShowSailPlan(&plan, nChosen);
        for (QSize size : kSizes) {
            for (double fRatio : {1.0, 2.0}) {
                Paint(chart, size, fRatio);
                ExpectNothingCovered(chart, 12,
                                     std::to_string(nChosen) + " " + std::to_string(size.width()) +
                                         "x" + std::to_string(size.height()) + " at " +
                                         std::to_string(fRatio));
            }
        }
    }
}

TEST(ChartLabels, APolylineTouchesABoxOnlyWhereItEntersIt) {
    const QRectF box(10, 10, 20, 10);
    EXPECT_TRUE(PolylineTouches(QPolygonF({QPointF(0, 15), QPointF(40, 15)}), box));  // across
    EXPECT_TRUE(PolylineTouches(QPolygonF({QPointF(0, 0), QPointF(15, 12)}), box));   // ends in
    EXPECT_FALSE(PolylineTouches(QPolygonF({QPointF(0, 0), QPointF(40, 0)}), box));   // above
    // Past a corner: the segment's extent overlaps the box's, the segment does not.
    EXPECT_FALSE(PolylineTouches(QPolygonF({QPointF(0, 15), QPointF(15, 0)}), box));
    EXPECT_TRUE(PolylineTouches(QPolygonF({QPointF(0, 25), QPointF(25, 0)}), box));
}

TEST(ChartLabels, TheCrossoverAxisTicksWholeKnotsALineAndAHalfApart) {
    CrossoverGrid grid;
    grid.fFirstWindSpeed = 4;
    grid.fWindStep = 0.5f;
    grid.nWindSpeeds = 41;  // 4 to 24 knots
    // Tall: every knot; short: every fifth, and never closer than a line and a half.
    EXPECT_EQ(CrossoverChart::WindTicks(grid, 800, 16).size(), 21u);
    const std::vector<float> aShort = CrossoverChart::WindTicks(grid, 150, 16);
    ASSERT_GE(aShort.size(), 2u);
    EXPECT_EQ(aShort.front(), 5.0f);
    EXPECT_EQ(aShort[1] - aShort[0], 5.0f);
    EXPECT_GE(150.0 * (aShort[1] - aShort[0]) / 20.0, 1.5 * 16);
    // A grid of one wind speed keeps it.
    grid.nWindSpeeds = 1;
    grid.fFirstWindSpeed = 7.5f;
    EXPECT_EQ(CrossoverChart::WindTicks(grid, 150, 16), std::vector<float>{7.5f});
}

}  // namespace
