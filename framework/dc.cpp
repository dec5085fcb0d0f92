#include "framework/dc.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "data/angle_units.h"
#include "framework/wnd.h"

namespace {

QRgb ToRgb(COLORREF cr) {
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

// The dotted pen of the platform: three pixels on, three off.
constexpr int kDotRun = 3;

}  // namespace

QColor ToQColor(COLORREF cr);

namespace {

// Fills a device rectangle of an image, clipped to it; 32-bit images row by row.
void FillDeviceRect(QImage& image, QRect rect, COLORREF cr) {
    rect = rect.intersected(image.rect());
    if (rect.isEmpty()) {
        return;
    }
    if (image.depth() != 32) {
        QPainter painter(&image);
        painter.fillRect(rect, ToQColor(cr));
        return;
    }
    const QRgb rgb = ToRgb(cr);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(pLine + rect.left(), pLine + rect.right() + 1, rgb);
    }
}

}  // namespace

QColor ToQColor(COLORREF cr) {
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

BOOL CPen::CreatePen(int nStyle, int nWidth, COLORREF cr) {
    m_nStyle = nStyle;
    m_nWidth = nWidth;
    m_cr = cr;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF cr) {
    m_cr = cr;
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*pDC*/, int nWidth, int nHeight) {
    m_image = QImage(std::max(nWidth, 1), std::max(nHeight, 1), QImage::Format_RGB32);
    m_image.fill(Qt::black);
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    const bool bHad = !m_image.isNull();
    m_image = QImage();
    return bHad ? TRUE : FALSE;
}

int CBitmap::GetObject(int nCount, BITMAP* pBitmap) const {
    if (m_image.isNull() || pBitmap == nullptr || nCount < static_cast<int>(sizeof(BITMAP))) {
        return 0;
    }
    *pBitmap = BITMAP{
        0, m_image.width(), m_image.height(), static_cast<int>(m_image.bytesPerLine()), 1, 32};
    return static_cast<int>(sizeof(BITMAP));
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, void* pBits) const {
    const auto nSize = static_cast<DWORD>(m_image.sizeInBytes());
    const DWORD n = std::min(dwCount, nSize);
    std::memcpy(pBits, m_image.constBits(), n);
    return n;
}

DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* pBits) {
    const auto nSize = static_cast<DWORD>(m_image.sizeInBytes());
    const DWORD n = std::min(dwCount, nSize);
    std::memcpy(m_image.bits(), pBits, n);
    return n;
}

void CDC::AttachWindow(CWnd* pWnd) {
    m_pTarget = pWnd != nullptr ? pWnd->GetBackingImage() : nullptr;
    m_pWidget = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
}

void CDC::Changed() {
    if (m_pWidget) {
        m_pWidget->update();
    }
}

BOOL CDC::CreateCompatibleDC(CDC* /*pDC*/) {
    m_pTarget = nullptr;
    m_pBitmap = nullptr;
    m_pWidget = nullptr;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    m_pTarget = nullptr;
    m_pBitmap = nullptr;
    return TRUE;
}

CPen* CDC::SelectObject(CPen* pPen) {
    CPen* pOld = m_pPen;
    m_pPen = pPen != nullptr ? pPen : &m_defaultPen;
    m_nStylePos = 0;
    return pOld;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    CBrush* pOld = m_pBrush;
    m_pBrush = pBrush != nullptr ? pBrush : &m_defaultBrush;
    return pOld;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    CBitmap* pOld = m_pBitmap;
    m_pBitmap = pBitmap;
    m_pTarget = pBitmap != nullptr ? &pBitmap->Image() : nullptr;
    return pOld;
}

int CDC::SetBkMode(int nMode) {
    return std::exchange(m_nBkMode, nMode);
}
COLORREF CDC::SetBkColor(COLORREF cr) {
    return std::exchange(m_crBk, cr);
}
COLORREF CDC::SetTextColor(COLORREF cr) {
    return std::exchange(m_crText, cr);
}
int CDC::SetROP2(int nDrawMode) {
    return std::exchange(m_nRop2, nDrawMode);
}
UINT CDC::SetTextAlign(UINT nFlags) {
    return std::exchange(m_nTextAlign, nFlags);
}

COLORREF CDC::GetPixel(int x, int y) const {
    if (m_pTarget == nullptr || !m_pTarget->valid(x, y)) {
        return 0xFFFFFFFF;
    }
    const QRgb rgb = m_pTarget->pixel(x, y);
    return RGB(static_cast<std::uint8_t>(qRed(rgb)), static_cast<std::uint8_t>(qGreen(rgb)),
               static_cast<std::uint8_t>(qBlue(rgb)));
}

CPoint CDC::MoveTo(int x, int y) {
    return std::exchange(m_ptCurrent, CPoint{x, y});
}

int CDC::DevicePenWidth() const {
    // Width 0 is one device pixel whatever the mapping.
    const double dWidth = m_pPen->m_nWidth * m_map.ScaleX();
    return std::max(1, static_cast<int>(std::lround(dWidth)));
}

void CDC::Plot(int x, int y, bool bOn) {
    if (!m_pTarget->valid(x, y)) {
        return;
    }
    auto* pLine = reinterpret_cast<QRgb*>(m_pTarget->scanLine(y));
    if (m_nRop2 == R2_NOT) {
        if (bOn) {
            pLine[x] = 0xFF000000 | (~pLine[x] & 0x00FFFFFF);
        }
        return;
    }
    if (bOn) {
        pLine[x] = ToRgb(m_pPen->m_cr);
    } else if (m_nBkMode == OPAQUE) {
        pLine[x] = ToRgb(m_crBk);
    }
}

// Bresenham from one device point to another, the end point left out.
void CDC::PlotLine(CPoint from, CPoint to) {
    int x = from.x;
    int y = from.y;
    const int dx = std::abs(to.x - x);
    const int dy = -std::abs(to.y - y);
    const int sx = x < to.x ? 1 : -1;
    const int sy = y < to.y ? 1 : -1;
    int err = dx + dy;
    const bool bDotted = m_pPen->m_nStyle == PS_DOT;
    while (x != to.x || y != to.y) {
        const bool bOn = !bDotted || (m_nStylePos / kDotRun) % 2 == 0;
        Plot(x, y, bOn);
        ++m_nStylePos;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

BOOL CDC::LineTo(int x, int y) {
    const CPoint from = m_map.LPtoDP(m_ptCurrent);
    const CPoint to = m_map.LPtoDP(CPoint{x, y});
    m_ptCurrent = CPoint{x, y};
    if (m_pTarget == nullptr) {
        return FALSE;
    }
    const int nWidth = DevicePenWidth();
    if (nWidth <= 1) {
        PlotLine(from, to);
    } else {
        QPainter painter(m_pTarget);
        QPen pen(ToQColor(m_pPen->m_cr), nWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        if (m_nRop2 == R2_NOT) {
            painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        }
        painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
    }
    Changed();
    return TRUE;
}

BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return DrawArcShape(Shape::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}

BOOL CDC::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return DrawArcShape(Shape::Pie, x1, y1, x2, y2, x3, y3, x4, y4);
}

// Arcs and pies run counter-clockwise on screen from the first radial to the second; equal
// radials make a full turn. The bounding box leaves out its right and bottom edges.
BOOL CDC::DrawArcShape(Shape shape, int x1, int y1, int x2, int y2, int x3, int y3, int x4,
                       int y4) {
    if (m_pTarget == nullptr) {
        return FALSE;
    }
    const double dx1 = m_map.DeviceX(x1);
    const double dx2 = m_map.DeviceX(x2);
    const double dy1 = m_map.DeviceY(y1);
    const double dy2 = m_map.DeviceY(y2);
    const double left = std::floor(std::min(dx1, dx2) + 0.5);
    const double right = std::floor(std::max(dx1, dx2) + 0.5);
    const double top = std::floor(std::min(dy1, dy2) + 0.5);
    const double bottom = std::floor(std::max(dy1, dy2) + 0.5);
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    auto screenAngle = [&](int x, int y) {
        // Degrees counter-clockwise from three o'clock, y of the screen pointing down.
        const double a = std::atan2(-(m_map.DeviceY(y) - cy), m_map.DeviceX(x) - cx);
        return a / kRadiansPerDegree;
    };
    const double dStart = screenAngle(x3, y3);
    double dSpan = screenAngle(x4, y4) - dStart;
    while (dSpan <= 0.0) {
        dSpan += 360.0;
    }
    const QRectF box(left, top, std::max(0.0, right - left - 1.0),
                     std::max(0.0, bottom - top - 1.0));
    QPainter painter(m_pTarget);
    QPen pen(ToQColor(m_pPen->m_cr));
    pen.setCosmetic(true);
    pen.setWidth(DevicePenWidth());
    // As on the platform, a dotted pen is dotted only while it is one device pixel wide;
    // wider, it draws solid (LineTo follows the same rule).
    if (m_pPen->m_nStyle == PS_DOT && DevicePenWidth() <= 1) {
        pen.setDashPattern({kDotRun, kDotRun});
    }
    painter.setPen(pen);
    painter.setBackgroundMode(m_nBkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    painter.setBackground(ToQColor(m_crBk));
    if (m_nRop2 == R2_NOT) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    }
    const int nStart = static_cast<int>(std::lround(dStart * 16.0));
    const int nSpan = static_cast<int>(std::lround(dSpan * 16.0));
    if (shape == Shape::Arc) {
        painter.drawArc(box, nStart, nSpan);
    } else {
        painter.setBrush(ToQColor(m_pBrush->m_cr));
        painter.drawPie(box, nStart, nSpan);
    }
    Changed();
    return TRUE;
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) {
    if (m_pTarget == nullptr) {
        return FALSE;
    }
    const CPoint a = m_map.LPtoDP(CPoint{x1, y1});
    const CPoint b = m_map.LPtoDP(CPoint{x2, y2});
    const int left = std::min(a.x, b.x);
    const int right = std::max(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int bottom = std::max(a.y, b.y);
    if (right - left < 1 || bottom - top < 1) {
        return TRUE;
    }
    FillDeviceRect(*m_pTarget, QRect(left, top, right - left, bottom - top), m_pBrush->m_cr);
    // The outline runs on the outermost pixels of the rectangle, right and bottom edges
    // excluded, as the platform draws it with a one-pixel pen.
    const CPoint corners[] = {
        {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
    for (int i = 0; i < 4; ++i) {
        PlotLine(corners[i], corners[(i + 1) % 4]);
    }
    Changed();
    return TRUE;
}

void CDC::FillSolidRect(const CRect& rc, COLORREF cr) {
    if (m_pTarget == nullptr) {
        return;
    }
    const CPoint a = m_map.LPtoDP(CPoint{rc.left, rc.top});
    const CPoint b = m_map.LPtoDP(CPoint{rc.right, rc.bottom});
    const QRect rect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
                     QSize(std::abs(b.x - a.x), std::abs(b.y - a.y)));
    FillDeviceRect(*m_pTarget, rect, cr);
    m_crBk = cr;  // as the platform, filling leaves the background colour set
    Changed();
}

namespace {

QFont TextFont() {
    QFont font("Liberation Sans");
    font.setPixelSize(11);
    return font;
}

}  // namespace

CSize CDC::GetTextExtent(const std::string& strText) const {
    const QFontMetrics metrics(TextFont());
    const QString text = QString::fromUtf8(strText.c_str(), static_cast<qsizetype>(strText.size()));
    return CSize{metrics.horizontalAdvance(text), metrics.height()};
}

BOOL CDC::TextOut(int x, int y, const std::string& strText) {
    if (m_pTarget == nullptr) {
        return FALSE;
    }
    const CPoint p = m_map.LPtoDP(CPoint{x, y});
    QPainter painter(m_pTarget);
    const QFont font = TextFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QString text = QString::fromUtf8(strText.c_str(), static_cast<qsizetype>(strText.size()));
    const int nWidth = metrics.horizontalAdvance(text);
    int left = p.x;
    if ((m_nTextAlign & TA_CENTER) == TA_CENTER) {
        left -= nWidth / 2;
    } else if (m_nTextAlign & TA_RIGHT) {
        left -= nWidth;
    }
    int top = p.y;
    if ((m_nTextAlign & TA_BASELINE) == TA_BASELINE) {
        top -= metrics.ascent();
    } else if (m_nTextAlign & TA_BOTTOM) {
        top -= metrics.height();
    }
    const QRect cell(left, top, nWidth, metrics.height());
    if (m_nBkMode == OPAQUE) {
        painter.fillRect(cell, ToQColor(m_crBk));
    }
    painter.setPen(ToQColor(m_crText));
    painter.drawText(QPoint(left, top + metrics.ascent()), text);
    Changed();
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD /*dwRop*/) {
    if (m_pTarget == nullptr || pSrcDC == nullptr || pSrcDC->m_pTarget == nullptr) {
        return FALSE;
    }
    auto deviceRect = [](const Mapping& map, int left, int top, int cx, int cy) {
        const CPoint a = map.LPtoDP(CPoint{left, top});
        const CPoint b = map.LPtoDP(CPoint{left + cx, top + cy});
        return QRect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
                     QSize(std::abs(b.x - a.x), std::abs(b.y - a.y)));
    };
    const QRect dest = deviceRect(m_map, x, y, nWidth, nHeight);
    const QRect src = deviceRect(pSrcDC->m_map, xSrc, ySrc, nWidth, nHeight);
    QImage& target = *m_pTarget;
    const QImage& source = *pSrcDC->m_pTarget;
    // Clip both rectangles to their images, keeping them aligned.
    QRect from = src.intersected(source.rect());
    QRect to(dest.topLeft() + (from.topLeft() - src.topLeft()), from.size());
    to = to.intersected(target.rect()).intersected(QRect(dest.topLeft(), src.size()));
    from = QRect(src.topLeft() + (to.topLeft() - dest.topLeft()), to.size());
    if (to.isEmpty()) {
        return TRUE;
    }
    if (target.format() == source.format() && target.depth() == 32) {
        // Same pixel format: a row-by-row copy, the cheapest block transfer there is.
        const auto nBytes = static_cast<std::size_t>(to.width()) * 4;
        for (int row = 0; row < to.height(); ++row) {
            std::memcpy(
                target.scanLine(to.y() + row) + static_cast<std::ptrdiff_t>(to.x()) * 4,
                source.constScanLine(from.y() + row) + static_cast<std::ptrdiff_t>(from.x()) * 4,
                nBytes);
        }
    } else {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(to.topLeft(), source, from);
    }
    Changed();
    return TRUE;
}
