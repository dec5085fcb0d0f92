#include "apps/polar-editor/crossover_chart.h"

#include <QPainter>
#include <cmath>
#include <set>

#include "apps/polar-editor/window_texts.h"
#include "data/text_encoding.h"

QColor SailPlanColor(int nSailPlan) {
    // Hues a golden angle apart stay distinct however many sail plans there are.
    const int nHue = (nSailPlan * 137 + 200) % 360;
    return QColor::fromHsv(nHue, 150, 230);
}

CrossoverChart::CrossoverChart(QWidget* pParent) : QWidget(pParent) {
    setMinimumSize(200, 160);
    setObjectName("crossover-chart");
}

void CrossoverChart::ShowSailPlans(const SailPlanArray& aSailPlans) {
    m_grid = ComputeCrossover(aSailPlans, 0.5f, 2.0f);
    m_names.clear();
    m_slots.clear();
    for (const auto& pSailPlan : aSailPlans) {
        m_names.push_back(QString::fromStdString(DecodeForDisplay(pSailPlan->m_strName)));
    }
    // Known names keep their colours; a new one takes the first colour no sail plan shown has.
    std::set<int> taken;
    for (const auto& pSailPlan : aSailPlans) {
        if (auto it = m_colorOf.find(pSailPlan->m_strName); it != m_colorOf.end()) {
            taken.insert(it->second);
        }
    }
    int nNext = 0;
    for (const auto& pSailPlan : aSailPlans) {
        auto it = m_colorOf.find(pSailPlan->m_strName);
        if (it == m_colorOf.end()) {
            while (taken.count(nNext) != 0) {
                ++nNext;
            }
            it = m_colorOf.emplace(pSailPlan->m_strName, nNext).first;
            taken.insert(nNext);
        }
        m_slots.push_back(it->second);
    }
    update();
}

std::vector<float> CrossoverChart::WindTicks(const CrossoverGrid& grid, int nHeight, int nLine) {
    std::vector<float> aTicks;
    if (grid.nWindSpeeds == 0) {
        return aTicks;
    }
    const float fLow = grid.fFirstWindSpeed;
    const float fHigh = grid.WindSpeed(grid.nWindSpeeds - 1);
    const float fSpan = std::max(fHigh - fLow, grid.fWindStep);
    // The smallest step of whole knots whose labels keep one and a half lines apart.
    float fStep = 1;
    for (float fCandidate : {1.0f, 2.0f, 5.0f, 10.0f, 20.0f, 50.0f}) {
        fStep = fCandidate;
        if (static_cast<float>(nHeight) * fCandidate / fSpan >= 1.5f * static_cast<float>(nLine)) {
            break;
        }
    }
    for (float fTick = std::ceil(fLow / fStep) * fStep; fTick <= fHigh + 1e-3f; fTick += fStep) {
        aTicks.push_back(fTick);
    }
    // A grid narrower than a step still gets its lowest wind speed.
    if (aTicks.empty()) {
        aTicks.push_back(fLow);
    }
    return aTicks;
}

QString CrossoverChart::WindTickLabel(float fWind) {
    return InKnots(UiNumber(static_cast<double>(fWind)));
}

void CrossoverChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = painter.fontMetrics();
    const int nLine = metrics.height();
    // Legend on the right, axes' labels left and below.
    int nLegendWidth = 0;
    for (const QString& name : m_names) {
        nLegendWidth = std::max(nLegendWidth, metrics.horizontalAdvance(name));
    }
    nLegendWidth += nLine + 16;
    // The wind speed axis: ticks at whole knots, every so many that their labels keep a line
    // apart; the labels set the left margin.
    const std::vector<float> aTicks = WindTicks(m_grid, height() - 3 * nLine, nLine);
    int nLabelWidth = metrics.horizontalAdvance(InKnots("00"));
    for (float fTick : aTicks) {
        nLabelWidth = std::max(nLabelWidth, metrics.horizontalAdvance(WindTickLabel(fTick)));
    }
    const QRect plot(nLabelWidth + 8, nLine / 2, width() - nLegendWidth - nLabelWidth - 16,
                     height() - 2 * nLine - nLine / 2 - 4);
    painter.setPen(palette().text().color());
    if (m_grid.nWindSpeeds == 0 || plot.width() < 10 || plot.height() < 10) {
        painter.drawText(rect(), Qt::AlignCenter, Ui("No polars to compare"));
        return;
    }
    const double fCellWidth = static_cast<double>(plot.width()) / m_grid.nAngles;
    const double fCellHeight = static_cast<double>(plot.height()) / m_grid.nWindSpeeds;
    for (int w = 0; w < m_grid.nWindSpeeds; ++w) {
        const double y = plot.bottom() + 1 - (w + 1) * fCellHeight;
        for (int a = 0; a < m_grid.nAngles; ++a) {
            const int nFastest = m_grid.Fastest(w, a);
            if (nFastest >= 0) {
                painter.fillRect(
                    QRectF(plot.left() + a * fCellWidth, y, fCellWidth + 0.5, fCellHeight + 0.5),
                    SailPlanColor(ColorSlot(nFastest)));
            }
        }
    }
    painter.drawRect(plot);
    // Angles every 30 degrees below.
    for (int nDegrees = 0; nDegrees <= 180; nDegrees += 30) {
        const double x = plot.left() + plot.width() * nDegrees / 180.0;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 4));
        painter.drawText(QRectF(x - 30, plot.bottom() + 4, 60, nLine), Qt::AlignHCenter,
                         QString("%1°").arg(nDegrees));
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + 4 + nLine, plot.width(), nLine),
                     Qt::AlignHCenter, Ui("true wind angle"));
    // A wind speed is the middle of its row of cells.
    const auto windY = [&](float fWind) {
        return plot.bottom() + 1 -
               ((fWind - m_grid.fFirstWindSpeed) / m_grid.fWindStep + 0.5) * fCellHeight;
    };
    for (float fTick : aTicks) {
        const double y = windY(fTick);
        painter.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(0, y - nLine / 2.0, plot.left() - 6, nLine),
                         Qt::AlignRight | Qt::AlignVCenter, WindTickLabel(fTick));
    }
    int y = plot.top();
    for (int i = 0; i < m_names.size(); ++i) {
        const QRect swatch(plot.right() + 12, y + 2, nLine - 4, nLine - 4);
        painter.fillRect(swatch, SailPlanColor(ColorSlot(i)));
        painter.drawRect(swatch);
        painter.drawText(QPoint(swatch.right() + 6, y + metrics.ascent()), m_names[i]);
        y += nLine + 2;
    }
}
