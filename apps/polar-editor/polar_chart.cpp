#include "apps/polar-editor/polar_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "apps/polar-editor/chart_labels.h"
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

namespace {

// The chart's frame on screen: where the pole is, how many pixels a logical unit is, and the
// room kept for the angle labels and the column of wind speed labels beside the half disc.
struct ChartFrame {
    QPointF pole;
    double fScale = 1;      // pixels per logical unit
    double fRadius = 0;     // the outer ray's length in pixels
    double fAngleRoom = 0;  // beyond the rays, for the angle labels
};

ChartFrame FrameFor(QSizeF size, int nRadius, const QFontMetricsF& metrics, double fColumnWidth,
                    double fLegendWidth, double fLegendHeight) {
    const double fLine = metrics.height();
    const double fLeftRoom = metrics.horizontalAdvance(QStringLiteral("180°")) + 8;
    const double fAngleRoom = metrics.horizontalAdvance(QStringLiteral("120°")) + 8;
    const double fRightRoom = fAngleRoom + fColumnWidth;
    const double fVerticalRoom = fLine + 6;
    double fRadius =
        std::min(size.width() - fLeftRoom - fRightRoom, (size.height() - 2 * fVerticalRoom) / 2);
    // The legend sits in the chart's lower right corner, outside the half disc and its angle
    // labels: a smaller disc where the corner is too tight for it.
    const QRectF legend(size.width() - 4 - fLegendWidth, size.height() - 2 - fLegendHeight,
                        fLegendWidth, fLegendHeight);
    for (int nTry = 0; nTry < 20 && fRadius > 20 && !legend.isEmpty(); ++nTry) {
        const double fContent = fLeftRoom + fRadius + fRightRoom;
        const QPointF pole((size.width() - fContent) / 2 + fLeftRoom, size.height() / 2);
        const double dx = std::max({legend.left() - pole.x(), 0.0, pole.x() - legend.right()});
        const double dy = std::max({legend.top() - pole.y(), 0.0, pole.y() - legend.bottom()});
        if (std::hypot(dx, dy) >= fRadius + fAngleRoom) {
            break;
        }
        fRadius *= 0.92;
    }
    fRadius = std::max(fRadius, 10.0);
    const double fContent = fLeftRoom + fRadius + fRightRoom;
    return {QPointF((size.width() - fContent) / 2 + fLeftRoom, size.height() / 2),
            fRadius / nRadius, fRadius, fAngleRoom};
}

QRectF TextBox(const QFontMetricsF& metrics, const QString& text, QPointF topLeft) {
    return {topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height())};
}

}  // namespace

QString PolarChart::WindSpeedLabel(float fWindSpeed) {
    return UiFileNumber(fWindSpeed);
}

void PolarChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), ColorOf(m_palette[1]));
    m_labelBoxes.clear();
    m_windLabelBoxes.clear();
    m_curvesOnScreen.clear();
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double fLine = metrics.height();
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
    const bool bMany = bAnyPolar && m_pSailPlan->GetPolarCount() > kManyPolars;

    // The legend's lines, and the widest wind speed label for the column beside the disc.
    struct LegendLine {
        QString text;
        QColor color;
        bool bDot;
    };
    std::vector<LegendLine> legend;
    double fWidestLabel = 0;
    if (bAnyPolar) {
        if (m_nChosenPolar >= 0 && m_nChosenPolar < m_pSailPlan->GetPolarCount()) {
            legend.push_back({Ui("chosen polar"), ColorOf(m_palette[2]), false});
        }
        if (m_pSailPlan->GetPolarCount() > (m_nChosenPolar >= 0 ? 1 : 0)) {
            legend.push_back({Ui("other polars"), ColorOf(m_palette[4]), false});
        }
        if (!m_loggedPoints.empty()) {
            legend.push_back({Ui("logged sailing"), ColorOf(m_palette[4]), true});
        }
        legend.push_back({Ui("at the curves: true wind speed in kn"), QColor(), false});
        for (int n = 0; n < m_pSailPlan->GetPolarCount(); ++n) {
            fWidestLabel = std::max(
                fWidestLabel,
                metrics.horizontalAdvance(WindSpeedLabel(m_pSailPlan->Polar(n).m_fWindSpeed)));
        }
    }
    const double fSwatch = 2 * fLine;
    double fLegendWidth = 0;
    for (const LegendLine& line : legend) {
        fLegendWidth = std::max(fLegendWidth, metrics.horizontalAdvance(line.text) +
                                                  (line.color.isValid() ? fSwatch + 6 : 0));
    }
    const double fLegendHeight = fLine * static_cast<double>(legend.size());
    const double fColumnWidth = bAnyPolar ? fWidestLabel + 14 : 0;
    const ChartFrame frame =
        FrameFor(size(), nRadius, metrics, fColumnWidth, fLegendWidth, fLegendHeight);
    const QPointF pole = frame.pole;
    const double fScale = frame.fScale;
    const auto toScreen = [fScale, pole](CPoint p) {
        return pole + QPointF(p.x * fScale, -p.y * fScale);
    };

    QPen gridPen(ColorOf(m_palette[0]), 1, Qt::DotLine);
    gridPen.setCosmetic(true);
    const QColor textColor = ColorOf(m_palette[0]).darker(160);
    painter.setPen(gridPen);
    for (int a = 0; a <= 180; a += 10) {
        const CPoint end =
            PolarToPoint(static_cast<float>(a), static_cast<float>(nRadius) / kUnitsPerKnot);
        painter.drawLine(pole, toScreen(end));
    }
    // Rings with their speed above the vertical axis, where no curve goes.
    const int nSpacing = RingSpacing(nRadius);
    for (int r = nSpacing; r <= nRadius; r += nSpacing) {
        const double fR = r * fScale;
        painter.setPen(gridPen);
        painter.drawArc(QRectF(pole.x() - fR, pole.y() - fR, 2 * fR, 2 * fR), 90 * 16, -180 * 16);
        const QString text = InKnots(UiNumber(r / 100));
        const QRectF box = TextBox(metrics, text, pole + QPointF(4, -fR - 3 - metrics.ascent()));
        painter.setPen(textColor);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
        m_labelBoxes.push_back(box);
    }
    // Angles every 30 degrees beyond the rays' ends; 0 and 180 left of the axis, clear of the
    // rings' labels on its right.
    for (int a = 0; a <= 180; a += 30) {
        const QString text = QString("%1°").arg(a);
        const QSizeF size(metrics.horizontalAdvance(text), fLine);
        const double fRadians = a * M_PI / 180.0;
        const QPointF d(std::sin(fRadians), -std::cos(fRadians));
        QPointF centre;
        if (a == 0 || a == 180) {
            centre = pole + d * frame.fRadius + QPointF(-size.width() / 2 - 4, 0);
        } else {
            const double fToEdge = std::min(size.width() / 2 / std::max(std::abs(d.x()), 1e-9),
                                            size.height() / 2 / std::max(std::abs(d.y()), 1e-9));
            centre = pole + d * (frame.fRadius + 4 + fToEdge);
        }
        const QRectF box(centre - QPointF(size.width() / 2, size.height() / 2), size);
        painter.drawText(box, Qt::AlignCenter, text);
        m_labelBoxes.push_back(box);
    }
    if (!bAnyPolar) {
        return;
    }
    DrawLoggedPoints(painter, toScreen, m_loggedPoints, *m_pSailPlan, m_nChosenPolar, m_palette);

    // The legend in the lower right corner.
    const QRectF legendBox(width() - 4 - fLegendWidth, height() - 2 - fLegendHeight, fLegendWidth,
                           fLegendHeight);
    double fY = legendBox.top();
    for (const LegendLine& line : legend) {
        double fX = legendBox.left();
        if (line.color.isValid()) {
            const QPointF middle(fX + fSwatch / 2, fY + fLine / 2);
            if (line.bDot) {
                QColor dot = line.color;
                dot.setAlpha(160);
                painter.setPen(Qt::NoPen);
                painter.setBrush(dot);
                painter.drawEllipse(middle, 2.5, 2.5);
            } else {
                painter.setPen(QPen(line.color, 2.5));
                painter.drawLine(QPointF(fX, middle.y()), QPointF(fX + fSwatch, middle.y()));
            }
            fX += fSwatch + 6;
        }
        painter.setPen(textColor);
        painter.drawText(QRectF(fX, fY, legendBox.right() - fX, fLine),
                         Qt::AlignLeft | Qt::AlignVCenter, line.text);
        fY += fLine;
    }
    m_labelBoxes.push_back(legendBox);

    std::vector<CPoint> aVertices;
    std::vector<std::size_t> aStarts;
    std::vector<QSizeF> labelSizes;
    std::vector<int> aOrder;  // the chosen polar's label first: it gets the best place
    for (int n = 0; n < m_pSailPlan->GetPolarCount(); ++n) {
        const PERF_POLAR& polar = m_pSailPlan->Polar(n);
        aVertices.clear();
        aStarts.clear();
        AppendCurveVertices(polar, aVertices, &aStarts);
        QPolygonF curve;
        for (CPoint p : aVertices) {
            curve.append(toScreen(p));
        }
        m_curvesOnScreen.push_back(curve);
        if (aVertices.empty()) {
            continue;
        }
        QPainterPath path;
        path.addPolygon(curve);
        const bool bChosen = n == m_nChosenPolar;
        // Of many polars the others are thin lines, which the painter draws many times faster
        // than wide ones, and only the chosen one is labelled: their labels would cover each
        // other.
        QPen curvePen(ColorOf(m_palette[bChosen ? 2 : 4]), bChosen ? 2.5 : bMany ? 0 : 1.5);
        painter.setPen(curvePen);
        painter.drawPath(path);
    }
    // Labels in the curves' order as placed, the chosen polar's first.
    std::vector<std::size_t> aLabelOrder;
    if (m_nChosenPolar >= 0 && m_nChosenPolar < m_pSailPlan->GetPolarCount()) {
        aLabelOrder.push_back(static_cast<std::size_t>(m_nChosenPolar));
    }
    for (int n = m_pSailPlan->GetPolarCount() - 1; n >= 0 && !bMany; --n) {
        if (n != m_nChosenPolar) {
            aLabelOrder.push_back(static_cast<std::size_t>(n));
        }
    }
    std::vector<QPolygonF> orderedCurves;
    std::vector<QString> texts;
    for (std::size_t n : aLabelOrder) {
        orderedCurves.push_back(m_curvesOnScreen[n]);
        texts.push_back(WindSpeedLabel(m_pSailPlan->Polar(static_cast<int>(n)).m_fWindSpeed));
        labelSizes.emplace_back(metrics.horizontalAdvance(texts.back()) + 2, fLine);
    }
    // Every curve is in the way, also those without a label.
    std::vector<QPolygonF> allCurves = orderedCurves;
    for (std::size_t n = 0; n < m_curvesOnScreen.size(); ++n) {
        if (std::find(aLabelOrder.begin(), aLabelOrder.end(), n) == aLabelOrder.end()) {
            allCurves.push_back(m_curvesOnScreen[n]);
        }
    }
    LabelRoom room;
    room.pole = pole;
    room.bounds = QRectF(rect());
    room.fColumnLeft = pole.x() + frame.fRadius + frame.fAngleRoom + 8;
    room.fColumnBottom = legendBox.top() - 4;
    const std::vector<PlacedLabel> placed =
        PlaceCurveLabels(allCurves, labelSizes, m_labelBoxes, room);
    for (std::size_t i = 0; i < aLabelOrder.size(); ++i) {
        if (!placed[i].bShown) {
            continue;
        }
        const bool bChosen = static_cast<int>(aLabelOrder[i]) == m_nChosenPolar;
        const QColor color = ColorOf(m_palette[bChosen ? 2 : 4]);
        if (placed[i].bLeader) {
            QPen leader(color, 0.8, Qt::SolidLine);
            painter.setPen(leader);
            painter.drawLine(placed[i].anchor,
                             QPointF(placed[i].box.left() - 1, placed[i].box.center().y()));
        }
        painter.setPen(color);
        painter.drawText(placed[i].box, Qt::AlignCenter, texts[i]);
        m_windLabelBoxes.push_back(placed[i].box);
    }
    m_nHiddenLabels = static_cast<int>(
        std::count_if(placed.begin(), placed.begin() + static_cast<long>(aLabelOrder.size()),
                      [](const PlacedLabel& label) { return !label.bShown; }));
}
