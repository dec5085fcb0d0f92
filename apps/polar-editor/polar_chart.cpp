#include "apps/polar-editor/polar_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "apps/polar-editor/window_texts.h"
#include "data/sailplan.h"
#include "diagram/geometry.h"
#include "logs/polar_samples.h"

QColor ColorOf(COLORREF cr) {
    return QColor(static_cast<int>(cr & 0xFF), static_cast<int>((cr >> 8) & 0xFF),
                  static_cast<int>((cr >> 16) & 0xFF));
}

PolarChart::PolarChart(QWidget* pParent) : QWidget(pParent), m_palette(DefaultPalette()) {
    setMinimumSize(200, 200);
    setObjectName("polar-chart");
}

void PolarChart::ShowSailPlan(const SAILPLAN* pSailPlan, int nChosenPolar) {
    m_pSailPlan = pSailPlan;
    m_nChosenPolar = nChosenPolar;
    update();
}

void PolarChart::SetPalette(const DiagramPalette& palette) {
    m_palette = palette;
    update();
}

namespace {

// Logged sailing under the curves, light enough that thousands of points still show where
// they are dense.
template <typename ToScreen>
void DrawLoggedPoints(QPainter& painter, const ToScreen& toScreen,
                      const std::vector<LoggedPoint>& points, const SAILPLAN& sailPlan,
                      int nChosenPolar, const DiagramPalette& palette) {
    QColor chosen = ColorOf(palette[2]);
    QColor others = ColorOf(palette[4]);
    chosen.setAlpha(110);
    others.setAlpha(60);
    painter.setPen(Qt::NoPen);
    const qreal fRadius = 1.6;
    for (const LoggedPoint& point : points) {
        const bool bChosen =
            static_cast<int>(NearestPolar(sailPlan, point.fWindSpeed)) == nChosenPolar;
        painter.setBrush(bChosen ? chosen : others);
        painter.drawEllipse(toScreen(PolarToPoint(point.fAngle, point.fSpeed)), fRadius, fRadius);
    }
}

}  // namespace

void PolarChart::SetLoggedPoints(std::vector<LoggedPoint> points) {
    m_loggedPoints = std::move(points);
    m_fLoggedTopSpeed = 0;
    for (const LoggedPoint& point : m_loggedPoints) {
        m_fLoggedTopSpeed = std::max(m_fLoggedTopSpeed, point.fSpeed);
    }
    update();
}

void PolarChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), ColorOf(m_palette[1]));
    // The scale of the sail plan with "Show All": every point counts.
    const PERF_POLAR empty(0, 0);
    const bool bAnyPolar = m_pSailPlan != nullptr && m_pSailPlan->GetPolarCount() > 0;
    int nRadius = bAnyPolar ? ComputeScaleRadius(m_pSailPlan, *m_pSailPlan->m_aPolars.front(), true)
                            : ComputeScaleRadius(nullptr, empty, false);
    // Logged sailing faster than the polars widens the scale, up to twice the polars' so that a
    // wrong reading cannot shrink them to nothing.
    if (bAnyPolar && m_fLoggedTopSpeed * kUnitsPerKnot > static_cast<float>(nRadius)) {
        nRadius = std::min(2 * nRadius, static_cast<int>(m_fLoggedTopSpeed * kUnitsPerKnot));
    }
    // Logical units: x from a little left of the pole to a little beyond the radius, y both
    // ways; the larger side of the widget that keeps the half disc round is used.
    const double fMargin = 0.08 * nRadius;
    const double fLogicalWidth = nRadius + 2 * fMargin;
    const double fLogicalHeight = 2 * (nRadius + fMargin);
    const double fScale = std::min(width() / fLogicalWidth, height() / fLogicalHeight);
    painter.translate((width() - fLogicalWidth * fScale) / 2 + fMargin * fScale, height() / 2.0);
    const auto toScreen = [fScale](CPoint p) { return QPointF(p.x * fScale, -p.y * fScale); };

    QPen gridPen(ColorOf(m_palette[0]), 1, Qt::DotLine);
    gridPen.setCosmetic(true);
    painter.setPen(gridPen);
    for (int a = 0; a <= 180; a += 10) {
        const CPoint end =
            PolarToPoint(static_cast<float>(a), static_cast<float>(nRadius) / kUnitsPerKnot);
        painter.drawLine(QPointF(0, 0), toScreen(end));
    }
    const int nSpacing = RingSpacing(nRadius);
    for (int r = nSpacing; r <= nRadius; r += nSpacing) {
        const double fR = r * fScale;
        painter.setPen(gridPen);
        painter.drawArc(QRectF(-fR, -fR, 2 * fR, 2 * fR), 90 * 16, -180 * 16);
        painter.setPen(ColorOf(m_palette[0]).darker(160));
        painter.drawText(QPointF(4, -fR - 3), InKnots(QString::number(r / 100)));
    }
    if (!bAnyPolar) {
        return;
    }
    std::vector<CPoint> aVertices;
    std::vector<std::size_t> aStarts;
    DrawLoggedPoints(painter, toScreen, m_loggedPoints, *m_pSailPlan, m_nChosenPolar, m_palette);
    const bool bMany = m_pSailPlan->GetPolarCount() > kManyPolars;
    for (int n = 0; n < m_pSailPlan->GetPolarCount(); ++n) {
        const PERF_POLAR& polar = m_pSailPlan->Polar(n);
        aVertices.clear();
        aStarts.clear();
        AppendCurveVertices(polar, aVertices, &aStarts);
        if (aVertices.empty()) {
            continue;
        }
        QPainterPath path;
        path.moveTo(toScreen(aVertices.front()));
        for (std::size_t i = 1; i < aVertices.size(); ++i) {
            path.lineTo(toScreen(aVertices[i]));
        }
        const bool bChosen = n == m_nChosenPolar;
        // Of many polars the others are thin lines, which the painter draws many times faster
        // than wide ones, and only the chosen one is labelled: their labels would cover each
        // other.
        QPen curvePen(ColorOf(m_palette[bChosen ? 2 : 4]), bChosen ? 2.5 : bMany ? 0 : 1.5);
        painter.setPen(curvePen);
        painter.drawPath(path);
        if (bMany && !bChosen) {
            continue;
        }
        // The wind speed beside the curve's outermost point.
        const auto outer = std::max_element(aVertices.begin(), aVertices.end(),
                                            [](CPoint a, CPoint b) { return a.x < b.x; });
        painter.drawText(toScreen(*outer) + QPointF(4, 0),
                         QString::number(static_cast<double>(polar.m_fWindSpeed), 'g', 4));
    }
}
