// The device context's vector drawing: the shapes its pixel drawing makes, in client units on
// a painter (a window being drawn for SVG or PDF) or recorded in a bitmap made for one.
#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "data/angle_units.h"
#include "framework/dc.h"
#include "framework/dc_internal.h"
#include "framework/vector_recording.h"

void CDC::Emit(std::function<void(QPainter&)> step) {
    FlushLines();
    EmitNow(std::move(step));
}

void CDC::EmitNow(std::function<void(QPainter&)> step) {
    if (m_pPainter != nullptr) {
        m_pPainter->save();
        step(*m_pPainter);
        m_pPainter->restore();
    } else if (m_pRecording != nullptr) {
        m_pRecording->Add(std::move(step));
    }
}

QPointF CDC::ClientPoint(CPoint pt) const {
    return QPointF(m_map.DeviceX(pt.x), m_map.DeviceY(pt.y));
}

QPen CDC::VectorPen() const {
    const int nWidth = ClientPenWidth();
    QPen pen(ToQColor(m_pPen->m_cr), nWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    // Dotted while one unit wide, as the pixels are.
    if (m_pPen->m_nStyle == PS_DOT && nWidth <= 1) {
        pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern({kDotRun, kDotRun});
    }
    return pen;
}

void CDC::FlushLines() {
    if (m_pendingLines.isEmpty()) {
        return;
    }
    const QPainterPath path = std::exchange(m_pendingLines, QPainterPath());
    EmitNow([path, pen = m_pendingPen](QPainter& painter) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    });
}

void CDC::VectorLine(CPoint from, CPoint to) {
    const QPen pen = VectorPen();
    const QPointF a = ClientPoint(from);
    const QPointF b = ClientPoint(to);
    if (m_pendingLines.isEmpty() || pen != m_pendingPen || m_pendingLines.currentPosition() != a) {
        FlushLines();
        m_pendingPen = pen;
        m_pendingLines.moveTo(a);
    }
    m_pendingLines.lineTo(b);
}

void CDC::VectorArcShape(Shape shape, int x1, int y1, int x2, int y2, int x3, int y3, int x4,
                         int y4) {
    const QRectF box = QRectF(ClientPoint({x1, y1}), ClientPoint({x2, y2})).normalized();
    const QPointF centre = box.center();
    const auto screenAngle = [&](int x, int y) {
        // Degrees counter-clockwise from three o'clock, y of the screen pointing down.
        const QPointF p = ClientPoint({x, y});
        return std::atan2(-(p.y() - centre.y()), p.x() - centre.x()) / kRadiansPerDegree;
    };
    const double dStart = screenAngle(x3, y3);
    double dSpan = screenAngle(x4, y4) - dStart;
    while (dSpan <= 0.0) {
        dSpan += 360.0;
    }
    const int nStart = static_cast<int>(std::lround(dStart * 16.0));
    const int nSpan = static_cast<int>(std::lround(dSpan * 16.0));
    const QPen pen = VectorPen();
    const QColor brush = ToQColor(m_pBrush->m_cr);
    Emit([shape, box, nStart, nSpan, pen, brush](QPainter& painter) {
        painter.setPen(pen);
        if (shape == Shape::Arc) {
            painter.drawArc(box, nStart, nSpan);
        } else {
            painter.setBrush(brush);
            painter.drawPie(box, nStart, nSpan);
        }
    });
}

// Filled with the brush, outlined one unit wide inside its edges, as the pixels are.
void CDC::VectorRectangle(int x1, int y1, int x2, int y2) {
    const QRectF rect = QRectF(ClientPoint({x1, y1}), ClientPoint({x2, y2})).normalized();
    if (rect.width() < 1.0 || rect.height() < 1.0) {
        return;
    }
    const QColor outline = ToQColor(m_pPen->m_cr);
    const QColor fill = ToQColor(m_pBrush->m_cr);
    Emit([rect, outline, fill](QPainter& painter) {
        painter.fillRect(rect, outline);
        const QRectF inside = rect.adjusted(1.0, 1.0, -1.0, -1.0);
        if (inside.width() > 0.0 && inside.height() > 0.0) {
            painter.fillRect(inside, fill);
        }
    });
}

void CDC::VectorFill(const CRect& rc, COLORREF cr) {
    const QRectF rect =
        QRectF(ClientPoint({rc.left, rc.top}), ClientPoint({rc.right, rc.bottom})).normalized();
    const QColor colour = ToQColor(cr);
    Emit([rect, colour](QPainter& painter) { painter.fillRect(rect, colour); });
}

void CDC::VectorText(int x, int y, const std::string& strText) {
    const QFont font = DeviceContextFont();
    const QFontMetrics metrics(font);
    const QString text = QString::fromUtf8(strText.c_str(), static_cast<qsizetype>(strText.size()));
    const QPointF p = ClientPoint({x, y});
    const double dWidth = metrics.horizontalAdvance(text);
    double left = p.x();
    if ((m_nTextAlign & TA_CENTER) == TA_CENTER) {
        left -= dWidth / 2.0;
    } else if (m_nTextAlign & TA_RIGHT) {
        left -= dWidth;
    }
    double top = p.y();
    if ((m_nTextAlign & TA_BASELINE) == TA_BASELINE) {
        top -= metrics.ascent();
    } else if (m_nTextAlign & TA_BOTTOM) {
        top -= metrics.height();
    }
    const QRectF cell(left, top, dWidth, metrics.height());
    const bool bOpaque = m_nBkMode == OPAQUE;
    const QColor background = ToQColor(m_crBk);
    const QColor colour = ToQColor(m_crText);
    const double dAscent = metrics.ascent();
    Emit([=](QPainter& painter) {
        if (bOpaque) {
            painter.fillRect(cell, background);
        }
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(QPointF(left, top + dAscent), text);
    });
}

// A recording copied is its shapes drawn again, cut to the destination; pixels copied onto
// vector shapes are an image.
BOOL CDC::VectorBitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc) {
    const QRectF dest =
        QRectF(ClientPoint({x, y}), ClientPoint({x + nWidth, y + nHeight})).normalized();
    const QRectF source = QRectF(pSrcDC->ClientPoint({xSrc, ySrc}),
                                 pSrcDC->ClientPoint({xSrc + nWidth, ySrc + nHeight}))
                              .normalized();
    const QPointF offset = dest.topLeft() - source.topLeft();
    pSrcDC->FlushLines();
    if (pSrcDC->m_pRecording != nullptr && pSrcDC->m_pBitmap != nullptr) {
        const std::shared_ptr<VectorRecording> pRecording = pSrcDC->m_pBitmap->Recording();
        if (!IsVector()) {
            if (m_pTarget == nullptr) {
                return FALSE;
            }
            PlayOnImage(*pRecording, DeviceRect(x, y, x + nWidth, y + nHeight), offset);
            Changed();
            return TRUE;
        }
        Emit([pRecording, dest, offset](QPainter& painter) {
            painter.setClipRect(dest, Qt::IntersectClip);
            painter.translate(offset);
            pRecording->Play(painter);
        });
        return TRUE;
    }
    if (pSrcDC->m_pTarget == nullptr) {
        return FALSE;
    }
    const QImage part =
        pSrcDC->m_pTarget->copy(pSrcDC->DeviceRect(xSrc, ySrc, xSrc + nWidth, ySrc + nHeight));
    Emit([part, dest](QPainter& painter) { painter.drawImage(dest, part); });
    return TRUE;
}
