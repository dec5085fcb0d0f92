#include "apps/polarctl/render_picture.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "diagram/diagram_host.h"
#include "diagram/geometry.h"
#include "exchange/cell_text.h"
#include "translation/string_translator.h"

namespace {

// The diagram's own labels are 11 units high; the extras match them, the title stands out.
constexpr double kLabelPixels = 11.0;
constexpr double kTitlePixels = 17.0;
// A legend entry: a stretch of curve, then its wind speed.
constexpr double kLegendSample = 22.0;
constexpr double kLegendTextGap = 6.0;
constexpr double kLegendLineGap = 3.0;
constexpr double kLegendPen = 2.0;
constexpr int kAngleStep = 30;
constexpr double kMeasuredDotRadius = 1.5;

QFont PictureFont(double dPixels, bool bBold = false) {
    QFont font("Liberation Sans");
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(dPixels))));
    font.setBold(bBold);
    return font;
}

QString Translated(const char* pszText) {
    return QString::fromUtf8(g_pTranslator != nullptr ? g_pTranslator->Translate(pszText)
                                                      : pszText);
}

QString AngleText(int nDegrees) {
    return QString::number(nDegrees) + QChar(0x00B0);
}

// The unit as the diagram's rings write it: the language's word, "kn" in English.
QString WindSpeedText(const PERF_POLAR& polar) {
    const QString unit = Translated("Kts");
    return QString::fromStdString(FormatExchangeNumber(polar.m_fWindSpeed)) + " " +
           (unit == "Kts" ? QString("kn") : unit);
}

// The polars the diagram draws: all of the sail plan's with "Show All", else the current one.
std::vector<const PERF_POLAR*> DrawnPolars(const SAILPLAN& sailPlan, int nPolar, bool bShowAll) {
    std::vector<const PERF_POLAR*> aPolars;
    for (int i = 0; i < sailPlan.GetPolarCount(); ++i) {
        if (bShowAll || i == nPolar) {
            aPolars.push_back(sailPlan.m_aPolars[static_cast<std::size_t>(i)].get());
        }
    }
    return aPolars;
}

QRectF ClientRect(const CRect& rc) {
    return QRectF(QPointF(std::min(rc.left, rc.right), std::min(rc.top, rc.bottom)),
                  QPointF(std::max(rc.left, rc.right), std::max(rc.top, rc.bottom)));
}

QRectF Scaled(const QRectF& rect, double dScale) {
    return QRectF(rect.topLeft() * dScale, rect.size() * dScale);
}

// The widest label of the speed rings inside the scale radius, as the diagram draws them.
double RingLabelWidth(DiagramHost& host) {
    const int nRadius = host.Graph().GetRadius();
    const int nSpacing = RingSpacing(nRadius);
    const std::vector<CRect>& aRects = host.Graph().RingLabelRects();
    double dWidth = 0.0;
    for (std::size_t i = 0; i < aRects.size(); ++i) {
        const int nRing = nSpacing * static_cast<int>(i / 2 + 1);
        if (nRing <= nRadius) {
            dWidth = std::max(dWidth, ClientRect(aRects[i]).width());
        }
    }
    return dWidth;
}

}  // namespace

PolarPicture::PolarPicture(SAILPLAN& sailPlan, int nPolar, const PictureOptions& options)
    : m_options(options),
      m_sailPlan(sailPlan),
      m_nPolar(nPolar),
      m_dScale(RenderScale(options.nWidth, options.nHeight)) {
    const DiagramPalette& palette = m_options.palette;
    const auto makeHost = [&](int nWidth, int nHeight) {
        return std::make_unique<DiagramHost>(nWidth, nHeight, palette[0], palette[1], palette[2],
                                             palette[3], palette[4]);
    };
    // The ring labels' widths do not depend on the window: measured on a first drawing.
    double dRingLabelWidth = 0.0;
    {
        const auto pProbe = makeHost(kRenderBaseWidth, kRenderBaseHeight);
        pProbe->Show(&m_sailPlan, m_nPolar, m_options.bShowAll, false);
        dRingLabelWidth = RingLabelWidth(*pProbe);
    }

    RenderParts parts;
    parts.dPictureWidth = m_options.nWidth / m_dScale;
    parts.dPictureHeight = m_options.nHeight / m_dScale;
    parts.dRingLabelWidth = dRingLabelWidth;
    const QFontMetricsF label(PictureFont(kLabelPixels));
    for (int a = 0; a <= 180; a += kAngleStep) {
        parts.dAngleLabelWidth =
            std::max(parts.dAngleLabelWidth, label.horizontalAdvance(AngleText(a)));
    }
    parts.dAngleLabelHeight = label.height();
    double dLegendText =
        label.horizontalAdvance(Translated("Wind speed")) - kLegendSample - kLegendTextGap;
    const auto aPolars = DrawnPolars(m_sailPlan, m_nPolar, m_options.bShowAll);
    for (const PERF_POLAR* pPolar : aPolars) {
        dLegendText = std::max(dLegendText, label.horizontalAdvance(WindSpeedText(*pPolar)));
    }
    parts.dLegendWidth = kLegendSample + kLegendTextGap + dLegendText;
    parts.dLegendHeight =
        (label.height() + kLegendLineGap) * static_cast<double>(aPolars.size() + 1);
    if (!m_options.strTitle.empty()) {
        parts.dTitleHeight = QFontMetricsF(PictureFont(kTitlePixels, true)).height();
    }
    m_layout = LayOutRender(parts);

    // The half-disc's radius is half the window's height when the window is at least as wide
    // as it is high; as wide as the picture, its squares are as large as the editor's at that
    // width.
    const int nHostHeight = 2 * m_layout.nRadius;
    const int nHostWidth =
        std::max(nHostHeight, static_cast<int>(std::lround(parts.dPictureWidth)));
    m_pHost = makeHost(nHostWidth, nHostHeight);
    m_pHost->SetDeviceScale(m_options.diagram == DiagramAs::Pixels ? m_dScale : 1.0);
    m_pHost->Show(&m_sailPlan, m_nPolar, m_options.bShowAll, false);
    m_hostPole = QPointF(nHostWidth / 5, nHostHeight / 2);
    FindContent();
}

PolarPicture::~PolarPicture() = default;

QPointF PolarPicture::ToPicture(double x, double y) const {
    return QPointF(x * m_dScale, y * m_dScale);
}

// What the picture keeps of the host's drawing: the half-disc, the ring labels inside it and
// the squares of the points (they may stand out of it); the rest of the window's grid goes.
void PolarPicture::FindContent() {
    CGraph& graph = m_pHost->Graph();
    const double s = m_dScale;
    const double dPad = s + 1.0;
    const QPointF pole(std::floor(m_hostPole.x() * s + 0.5), std::floor(m_hostPole.y() * s + 0.5));
    const double dRadius = m_layout.nRadius * s + dPad;
    QPainterPath disc;
    disc.addEllipse(pole, dRadius, dRadius);
    QPainterPath right;
    right.addRect(QRectF(pole.x() - dPad, pole.y() - dRadius, dRadius + dPad, 2.0 * dRadius));
    QPainterPath keep = disc.intersected(right);

    const int nRadius = graph.GetRadius();
    const int nSpacing = RingSpacing(nRadius);
    const std::vector<CRect>& aLabels = graph.RingLabelRects();
    for (std::size_t i = 0; i < aLabels.size(); ++i) {
        if (nSpacing * static_cast<int>(i / 2 + 1) <= nRadius) {
            keep.addRect(Scaled(ClientRect(aLabels[i]), s).adjusted(-dPad, -dPad, dPad, dPad));
        }
    }
    CClientDC dc(&graph);
    graph.PrepareDC(&dc);
    for (const CRect& square : graph.PointRects()) {
        CPoint a{square.left, square.top};
        CPoint b{square.right, square.bottom};
        dc.LPtoDP(&a);
        dc.LPtoDP(&b);
        keep.addRect(
            Scaled(ClientRect(CRect{a.x, a.y, b.x, b.y}), s).adjusted(-dPad, -dPad, dPad, dPad));
    }
    keep.setFillRule(Qt::WindingFill);
    const QPoint picturePole(static_cast<int>(std::floor(m_layout.dPoleX * s + 0.5)),
                             static_cast<int>(std::floor(m_layout.dPoleY * s + 0.5)));
    m_hostToPicture = picturePole - pole.toPoint();
    m_content = keep.translated(m_hostToPicture);
}

void PolarPicture::AddMeasuredPoint(float fAngle, float fSpeed) {
    CClientDC dc(&m_pHost->Graph());
    m_pHost->Graph().PrepareDC(&dc);
    CPoint p = PolarToPoint(fAngle, fSpeed);
    dc.LPtoDP(&p);
    m_aMeasured.emplace_back(p.x - m_hostPole.x() + m_layout.dPoleX,
                             p.y - m_hostPole.y() + m_layout.dPoleY);
}

void PolarPicture::Paint(QPainter& painter) {
    painter.save();
    const QColor background = ToQColor(m_options.palette[1]);
    const QRectF whole(0, 0, m_options.nWidth, m_options.nHeight);
    painter.fillRect(whole, background);
    if (m_options.diagram == DiagramAs::Pixels) {
        // One for one: as many picture pixels as the image has, whatever its pixel ratio.
        const QImage& pixels = m_pHost->Image();
        painter.save();
        painter.setClipPath(m_content);
        painter.drawImage(QRectF(m_hostToPicture, pixels.size()), pixels, QRectF(pixels.rect()));
        painter.restore();
    } else {
        painter.save();
        painter.translate(m_hostToPicture);
        painter.scale(m_dScale, m_dScale);
        m_pHost->PaintVector(painter);
        painter.restore();
        // The window's grid outside the content goes, as it does from the image.
        QPainterPath outside;
        outside.addRect(whole);
        painter.fillPath(outside.subtracted(m_content), background);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_aMeasured.empty()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(200, 0, 160));
        for (const QPointF& p : m_aMeasured) {
            painter.drawEllipse(ToPicture(p.x(), p.y()), kMeasuredDotRadius * m_dScale,
                                kMeasuredDotRadius * m_dScale);
        }
    }
    PaintAngleLabels(painter);
    PaintLegend(painter);
    PaintTitle(painter);
    painter.restore();
}

// The angles of the wind every 30 degrees, just outside the outer ring: each label sits on
// the side of its point away from the pole.
void PolarPicture::PaintAngleLabels(QPainter& painter) const {
    const QFontMetricsF metrics(PictureFont(kLabelPixels));
    painter.setFont(PictureFont(kLabelPixels * m_dScale));
    painter.setPen(Qt::black);
    const double dReach = m_layout.nRadius + m_layout.dAngleLabelGap;
    for (int a = 0; a <= 180; a += kAngleStep) {
        const double dTheta = a * kRadiansPerDegree;
        const double ux = std::sin(dTheta);
        const double uy = -std::cos(dTheta);
        const QString text = AngleText(a);
        const double w = metrics.horizontalAdvance(text);
        const double h = metrics.height();
        const double x = m_layout.dPoleX + dReach * ux;
        const double y = m_layout.dPoleY + dReach * uy;
        // Straight above and below the pole the label starts at the axis, clear of the ring
        // labels on its left.
        const double left = ux < 1e-6 ? x + m_layout.dAngleLabelGap : x;
        const double top = y - h / 2.0 + uy * h / 2.0;
        painter.drawText(QRectF(ToPicture(left, top), QSizeF(w, h) * m_dScale),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, text);
    }
}

void PolarPicture::PaintLegend(QPainter& painter) const {
    const QFontMetricsF metrics(PictureFont(kLabelPixels));
    const double dLine = metrics.height() + kLegendLineGap;
    const double dTextLeft = m_layout.dLegendLeft + kLegendSample + kLegendTextGap;
    double y = m_layout.dLegendTop;
    painter.setFont(PictureFont(kLabelPixels * m_dScale));
    painter.setPen(Qt::black);
    painter.drawText(
        QRectF(ToPicture(m_layout.dLegendLeft, y), QSizeF(200, metrics.height()) * m_dScale),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, Translated("Wind speed"));
    const PERF_POLAR* pCurrent = m_sailPlan.m_aPolars[static_cast<std::size_t>(m_nPolar)].get();
    for (const PERF_POLAR* pPolar : DrawnPolars(m_sailPlan, m_nPolar, m_options.bShowAll)) {
        y += dLine;
        const COLORREF cr = pPolar == pCurrent ? m_options.palette[2] : m_options.palette[4];
        const double yMiddle = y + metrics.height() / 2.0;
        painter.setPen(QPen(ToQColor(cr), kLegendPen * m_dScale, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(ToPicture(m_layout.dLegendLeft, yMiddle),
                         ToPicture(m_layout.dLegendLeft + kLegendSample, yMiddle));
        painter.setPen(Qt::black);
        QFont font = PictureFont(kLabelPixels * m_dScale, pPolar == pCurrent);
        painter.setFont(font);
        painter.drawText(QRectF(ToPicture(dTextLeft, y), QSizeF(200, metrics.height()) * m_dScale),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                         WindSpeedText(*pPolar));
    }
}

void PolarPicture::PaintTitle(QPainter& painter) const {
    if (m_options.strTitle.empty()) {
        return;
    }
    const double dHeight = QFontMetricsF(PictureFont(kTitlePixels, true)).height();
    painter.setFont(PictureFont(kTitlePixels * m_dScale, true));
    painter.setPen(Qt::black);
    painter.drawText(
        QRectF(0.0, m_layout.dTitleTop * m_dScale, m_options.nWidth, dHeight * m_dScale),
        Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip,
        QString::fromStdString(m_options.strTitle));
}

QImage PolarPicture::ToImage() {
    QImage image(m_options.nWidth, m_options.nHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter);
    painter.end();
    return image;
}
