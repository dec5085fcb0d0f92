#pragma once

#include <QPolygonF>
#include <QRectF>
#include <QWidget>
#include <vector>

#include "apps/polar-editor/logged_point.h"
#include "diagram/palette.h"

class SAILPLAN;

// The polars of one sail plan in the editor diagram's coordinates (diagram/geometry): the pole
// on the left edge, wind from the top, dotted speed rings and rays every ten degrees, every
// polar's curve, the chosen polar in the curve colour and the others in theirs, each labelled
// with its wind speed where the label covers nothing, angles every 30 degrees and a legend. Drawn
// with QPainter at the screen's own resolution, so it stays sharp at any size and scale.
class PolarChart : public QWidget {
  public:
    // More polars than this are drawn as thin lines, only the chosen one labelled.
    static constexpr int kManyPolars = 40;
    explicit PolarChart(QWidget* pParent = nullptr);

    // The sail plan stays the caller's and must outlive the chart's use of it (until the next
    // call). nChosenPolar is drawn in the curve colour; -1 chooses none.
    void ShowSailPlan(const SAILPLAN* pSailPlan, int nChosenPolar);
    void SetPalette(const DiagramPalette& palette);
    // Logged sailing drawn over the curves: each point in the colour of the polar nearest its
    // wind speed, the chosen polar's in the curve colour. None: nothing drawn.
    void SetLoggedPoints(std::vector<LoggedPoint> points);
    std::size_t LoggedPointCount() const { return m_loggedPoints.size(); }

    QSize sizeHint() const override { return {520, 520}; }

    // What the last paint placed, in the widget's coordinates: every label's box (rings,
    // angles, the legend and the wind speeds), the wind speed labels' boxes alone, and each
    // polar's curve as drawn. A label with no room left is not drawn and is counted.
    const std::vector<QRectF>& FixedLabelBoxes() const { return m_labelBoxes; }
    const std::vector<QRectF>& WindLabelBoxes() const { return m_windLabelBoxes; }
    const std::vector<QPolygonF>& CurvesOnScreen() const { return m_curvesOnScreen; }
    int HiddenLabelCount() const { return m_nHiddenLabels; }
    // A polar's label: its wind speed as the file holds it, in the language's decimal mark.
    static QString WindSpeedLabel(float fWindSpeed);

  protected:
    void paintEvent(QPaintEvent* pEvent) override;

  private:
    const SAILPLAN* m_pSailPlan = nullptr;
    int m_nChosenPolar = -1;
    DiagramPalette m_palette;
    std::vector<LoggedPoint> m_loggedPoints;
    float m_fLoggedTopSpeed = 0;
    std::vector<QRectF> m_labelBoxes;
    std::vector<QRectF> m_windLabelBoxes;
    std::vector<QPolygonF> m_curvesOnScreen;
    int m_nHiddenLabels = 0;
};

// A COLORREF (0x00BBGGRR) as Qt's colour.
QColor ColorOf(COLORREF cr);
