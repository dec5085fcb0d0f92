#include "apps/polar-editor/comparison_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <map>

#include "apps/polar-editor/crossover_chart.h"
#include "apps/polar-editor/window_texts.h"

ComparisonPlot::ComparisonPlot(QWidget* pParent) : QWidget(pParent) {
    setObjectName("comparison-plot");
    setMinimumSize(240, 160);
}

void ComparisonPlot::ShowBins(std::vector<ComparisonBin> bins) {
    m_bins = std::move(bins);
    update();
}

void ComparisonPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    if (m_bins.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, Ui("No comparison yet"));
        return;
    }
    double dLow = 100;
    double dHigh = 100;
    for (const ComparisonBin& bin : m_bins) {
        dLow = std::min(dLow, bin.dMedianPercent);
        dHigh = std::max(dHigh, bin.dMedianPercent);
    }
    dLow = std::floor(dLow / 10) * 10;
    dHigh = std::ceil(dHigh / 10) * 10 + (dHigh == dLow ? 10 : 0);
    const int nLine = painter.fontMetrics().height();
    const QRectF plot(painter.fontMetrics().horizontalAdvance("300 %") + 8, nLine / 2.0,
                      width() - painter.fontMetrics().horizontalAdvance("300 %") - 120,
                      height() - 2.5 * nLine);
    const auto x = [&plot](double dAngle) { return plot.left() + plot.width() * dAngle / 180; };
    const auto y = [&plot, dLow, dHigh](double dPercent) {
        return plot.bottom() - plot.height() * (dPercent - dLow) / (dHigh - dLow);
    };
    painter.drawRect(plot);
    for (double dPercent = dLow; dPercent <= dHigh; dPercent += 10) {
        painter.setPen(
            QPen(palette().mid().color(), 1, dPercent == 100 ? Qt::SolidLine : Qt::DotLine));
        painter.drawLine(QPointF(plot.left(), y(dPercent)), QPointF(plot.right(), y(dPercent)));
        painter.setPen(palette().text().color());
        painter.drawText(QRectF(0, y(dPercent) - nLine / 2.0, plot.left() - 4, nLine),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QString("%1 %").arg(UiNumber(dPercent)));
    }
    for (int nDegrees = 0; nDegrees <= 180; nDegrees += 30) {
        painter.drawText(QRectF(x(nDegrees) - 30, plot.bottom() + 2, 60, nLine), Qt::AlignHCenter,
                         QString("%1°").arg(nDegrees));
    }
    std::map<float, std::vector<const ComparisonBin*>> byWind;
    for (const ComparisonBin& bin : m_bins) {
        byWind[bin.fWindSpeed].push_back(&bin);
    }
    int nLineIndex = 0;
    for (const auto& [fWind, bins] : byWind) {
        QPainterPath path;
        for (std::size_t i = 0; i < bins.size(); ++i) {
            const QPointF point(x(bins[i]->fAngle), y(bins[i]->dMedianPercent));
            if (i == 0) {
                path.moveTo(point);
            } else {
                path.lineTo(point);
            }
            painter.setPen(QPen(SailPlanColor(nLineIndex), 5, Qt::SolidLine, Qt::RoundCap));
            painter.drawPoint(point);
        }
        painter.setPen(QPen(SailPlanColor(nLineIndex), 1.5));
        painter.drawPath(path);
        const double dLegendY = plot.top() + nLineIndex * (nLine + 2);
        painter.fillRect(QRectF(plot.right() + 10, dLegendY + 3, nLine - 6, nLine - 6),
                         SailPlanColor(nLineIndex));
        painter.setPen(palette().text().color());
        painter.drawText(QPointF(plot.right() + 10 + nLine, dLegendY + nLine - 4),
                         InKnots(UiNumber(static_cast<double>(fWind))));
        ++nLineIndex;
    }
}
