#pragma once

#include <QWidget>
#include <vector>

#include "apps/polar-editor/logged_point.h"
#include "diagram/palette.h"

class SAILPLAN;

// The polars of one sail plan in the editor diagram's coordinates (diagram/geometry): the pole
// on the left edge, wind from the top, dotted speed rings and rays every ten degrees, every
// polar's curve, the chosen polar in the curve colour and the others in theirs. Drawn with
// QPainter at the screen's own resolution, so it stays sharp at any size and scale.
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

  protected:
    void paintEvent(QPaintEvent* pEvent) override;

  private:
    const SAILPLAN* m_pSailPlan = nullptr;
    int m_nChosenPolar = -1;
    DiagramPalette m_palette;
    std::vector<LoggedPoint> m_loggedPoints;
    float m_fLoggedTopSpeed = 0;
};

// A COLORREF (0x00BBGGRR) as Qt's colour.
QColor ColorOf(COLORREF cr);
