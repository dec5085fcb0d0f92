#include "framework/dc.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "data/angle_units.h"
#include "framework/custom_window.h"
#include "framework/dc_internal.h"
#include "framework/vector_recording.h"
#include "framework/wnd.h"

namespace {

QRgb ToRgb(COLORREF cr) {
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

}  // namespace

QColor ToQColor(COLORREF cr);

namespace {

// A painter in the image's device pixels. Qt scales painting on an image by its pixel ratio;
// this context computes device positions itself, so the ratio is set aside while it paints.
class DevicePainter : public QPainter {
  public:
    explicit DevicePainter(QImage& image) : m_image(image), m_dRatio(image.devicePixelRatio()) {
        m_image.setDevicePixelRatio(1.0);
        begin(&m_image);
    }
    ~DevicePainter() {
        end();
        m_image.setDevicePixelRatio(m_dRatio);
    }
    DevicePainter(const DevicePainter&) = delete;
    DevicePainter& operator=(const DevicePainter&) = delete;

  private:
    QImage& m_image;
    double m_dRatio;
};

// Fills a device rectangle of an image, clipped to it; 32-bit images row by row.
void FillDeviceRect(QImage& image, QRect rect, COLORREF cr) {
    rect = rect.intersected(image.rect());
    if (rect.isEmpty()) {
        return;
    }
    if (image.depth() != 32) {
        DevicePainter painter(image);
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

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    if (pDC != nullptr && pDC->IsVector()) {
        m_image = QImage();
        m_pRecording = std::make_shared<VectorRecording>();
        return TRUE;
    }
    m_pRecording.reset();
    // As many pixels as the context draws per client unit, so that copying it back to that
    // context is one pixel for one.
    const double dScale = pDC != nullptr ? pDC->DeviceScale() : 1.0;
    const auto device = [dScale](int n) {
        return std::max(1, static_cast<int>(std::ceil(n * dScale - 1e-9)));
    };
    m_image = QImage(device(nWidth), device(nHeight), QImage::Format_RGB32);
    m_image.setDevicePixelRatio(dScale);
    m_image.fill(Qt::black);
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    const bool bHad = !m_image.isNull() || m_pRecording != nullptr;
    m_image = QImage();
    m_pRecording.reset();
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
    if (auto* pCustom = dynamic_cast<CustomWindowWidget*>(m_pWidget.data())) {
        m_pPainter = pCustom->VectorPainter();
        if (m_pPainter != nullptr) {
            m_pTarget = nullptr;
        }
    }
}

void CDC::Changed() {
    if (m_pWidget) {
        m_pWidget->update();
    }
}

CDC::~CDC() {
    FlushLines();
}

BOOL CDC::CreateCompatibleDC(CDC* /*pDC*/) {
    FlushLines();
    m_pTarget = nullptr;
    m_pBitmap = nullptr;
    m_pPainter = nullptr;
    m_pRecording = nullptr;
    m_pWidget = nullptr;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    FlushLines();
    m_pTarget = nullptr;
    m_pBitmap = nullptr;
    m_pPainter = nullptr;
    m_pRecording = nullptr;
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
    FlushLines();
    CBitmap* pOld = m_pBitmap;
    m_pBitmap = pBitmap;
    m_pRecording = pBitmap != nullptr ? pBitmap->Recording().get() : nullptr;
    m_pTarget = pBitmap != nullptr && m_pRecording == nullptr ? &pBitmap->Image() : nullptr;
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

double CDC::DeviceScale() const {
    return m_pTarget != nullptr ? m_pTarget->devicePixelRatio() : 1.0;
}

int CDC::ClientPenWidth() const {
    // Width 0 is one pixel whatever the mapping.
    const double dWidth = m_pPen->m_nWidth * m_map.ScaleX();
    return std::max(1, static_cast<int>(std::lround(dWidth)));
}

int CDC::DevicePenWidth() const {
    return std::max(1, static_cast<int>(std::lround(ClientPenWidth() * DeviceScale())));
}

CPoint CDC::ToDevice(CPoint pt) const {
    const double dScale = DeviceScale();
    return CPoint{static_cast<int>(std::floor(m_map.DeviceX(pt.x) * dScale + 0.5)),
                  static_cast<int>(std::floor(m_map.DeviceY(pt.y) * dScale + 0.5))};
}

QRect CDC::DeviceRect(int x1, int y1, int x2, int y2) const {
    const CPoint a = ToDevice(CPoint{x1, y1});
    const CPoint b = ToDevice(CPoint{x2, y2});
    return QRect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
                 QSize(std::abs(b.x - a.x), std::abs(b.y - a.y)));
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
    if (IsVector()) {
        VectorLine(std::exchange(m_ptCurrent, CPoint{x, y}), CPoint{x, y});
        return TRUE;
    }
    const CPoint from = ToDevice(m_ptCurrent);
    const CPoint to = ToDevice(CPoint{x, y});
    m_ptCurrent = CPoint{x, y};
    if (m_pTarget == nullptr) {
        return FALSE;
    }
    const int nWidth = DevicePenWidth();
    if (nWidth <= 1) {
        PlotLine(from, to);
    } else {
        DevicePainter painter(*m_pTarget);
        QPen pen(ToQColor(m_pPen->m_cr), nWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        // A dotted pen one pixel wide stays dotted on a denser screen, its dots as much larger.
        if (m_pPen->m_nStyle == PS_DOT && ClientPenWidth() <= 1) {
            pen.setCapStyle(Qt::FlatCap);
            pen.setDashPattern({kDotRun, kDotRun});
            pen.setDashOffset(static_cast<double>(m_nStylePos) / nWidth);
            m_nStylePos += std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
        }
        painter.setPen(pen);
        if (m_nRop2 == R2_NOT) {
            painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        }
        // A one-pixel pen on a denser screen covers the device pixels of the client pixels
        // the line runs through, as its one-pixel line would: its centre is half a client
        // pixel further right and down. Wider pens are centred on the line.
        const double dShift = ClientPenWidth() <= 1 ? nWidth / 2.0 : 0.0;
        painter.drawLine(QPointF(from.x + dShift, from.y + dShift),
                         QPointF(to.x + dShift, to.y + dShift));
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
    if (IsVector()) {
        VectorArcShape(shape, x1, y1, x2, y2, x3, y3, x4, y4);
        return TRUE;
    }
    if (m_pTarget == nullptr) {
        return FALSE;
    }
    const double dScale = DeviceScale();
    const double dx1 = m_map.DeviceX(x1) * dScale;
    const double dx2 = m_map.DeviceX(x2) * dScale;
    const double dy1 = m_map.DeviceY(y1) * dScale;
    const double dy2 = m_map.DeviceY(y2) * dScale;
    const double left = std::floor(std::min(dx1, dx2) + 0.5);
    const double right = std::floor(std::max(dx1, dx2) + 0.5);
    const double top = std::floor(std::min(dy1, dy2) + 0.5);
    const double bottom = std::floor(std::max(dy1, dy2) + 0.5);
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    auto screenAngle = [&](int x, int y) {
        // Degrees counter-clockwise from three o'clock, y of the screen pointing down.
        const double a =
            std::atan2(-(m_map.DeviceY(y) * dScale - cy), m_map.DeviceX(x) * dScale - cx);
        return a / kRadiansPerDegree;
    };
    const double dStart = screenAngle(x3, y3);
    double dSpan = screenAngle(x4, y4) - dStart;
    while (dSpan <= 0.0) {
        dSpan += 360.0;
    }
    const QRectF box(left, top, std::max(0.0, right - left - 1.0),
                     std::max(0.0, bottom - top - 1.0));
    const int nWidth = DevicePenWidth();
    DevicePainter painter(*m_pTarget);
    QPen pen(ToQColor(m_pPen->m_cr));
    pen.setCosmetic(true);
    pen.setWidth(nWidth);
    // As on the platform, a dotted pen is dotted only while it is one pixel wide; wider, it
    // draws solid (LineTo follows the same rule).
    if (m_pPen->m_nStyle == PS_DOT && ClientPenWidth() <= 1) {
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
    if (IsVector()) {
        VectorRectangle(x1, y1, x2, y2);
        return TRUE;
    }
    if (m_pTarget == nullptr) {
        return FALSE;
    }
    const QRect rect = DeviceRect(x1, y1, x2, y2);
    if (rect.width() < 1 || rect.height() < 1) {
        return TRUE;
    }
    FillDeviceRect(*m_pTarget, rect, m_pBrush->m_cr);
    // The outline runs on the outermost pixels of the rectangle, right and bottom edges
    // excluded, as the platform draws it with a one-pixel pen; on a denser screen it is as
    // many device pixels thick as a client pixel is wide there.
    const int nWidth =
        std::min({static_cast<int>(std::lround(DeviceScale())), rect.width(), rect.height()});
    if (nWidth > 1) {
        const COLORREF cr = m_pPen->m_cr;
        FillDeviceRect(*m_pTarget, QRect(rect.left(), rect.top(), rect.width(), nWidth), cr);
        FillDeviceRect(*m_pTarget,
                       QRect(rect.left(), rect.bottom() - nWidth + 1, rect.width(), nWidth), cr);
        FillDeviceRect(*m_pTarget, QRect(rect.left(), rect.top(), nWidth, rect.height()), cr);
        FillDeviceRect(*m_pTarget,
                       QRect(rect.right() - nWidth + 1, rect.top(), nWidth, rect.height()), cr);
        Changed();
        return TRUE;
    }
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.left() + rect.width();
    const int bottom = rect.top() + rect.height();
    const CPoint corners[] = {
        {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
    for (int i = 0; i < 4; ++i) {
        PlotLine(corners[i], corners[(i + 1) % 4]);
    }
    Changed();
    return TRUE;
}

void CDC::FillSolidRect(const CRect& rc, COLORREF cr) {
    if (IsVector()) {
        VectorFill(rc, cr);
        m_crBk = cr;
        return;
    }
    if (m_pTarget == nullptr) {
        return;
    }
    FillDeviceRect(*m_pTarget, DeviceRect(rc.left, rc.top, rc.right, rc.bottom), cr);
    m_crBk = cr;  // as the platform, filling leaves the background colour set
    Changed();
}

// The diagram's labels: 11 pixels high in client units, drawn at the image's resolution.
QFont DeviceContextFont(double dScale) {
    QFont font("Liberation Sans");
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(11 * dScale))));
    return font;
}

CSize CDC::GetTextExtent(const std::string& strText) const {
    const QFontMetrics metrics(DeviceContextFont());
    const QString text = QString::fromUtf8(strText.c_str(), static_cast<qsizetype>(strText.size()));
    return CSize{metrics.horizontalAdvance(text), metrics.height()};
}

BOOL CDC::TextOut(int x, int y, const std::string& strText) {
    if (IsVector()) {
        VectorText(x, y, strText);
        return TRUE;
    }
    if (m_pTarget == nullptr) {
        return FALSE;
    }
    const CPoint p = ToDevice(CPoint{x, y});
    const QFont font = DeviceContextFont(DeviceScale());
    DevicePainter painter(*m_pTarget);
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

void CDC::PlayOnImage(const VectorRecording& recording, QRect dest, QPointF offset) {
    const double dScale = DeviceScale();
    DevicePainter painter(*m_pTarget);
    painter.setClipRect(dest);
    painter.scale(dScale, dScale);
    painter.translate(offset);
    recording.Play(painter);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD /*dwRop*/) {
    if (pSrcDC != nullptr && (IsVector() || pSrcDC->IsVector())) {
        return VectorBitBlt(x, y, nWidth, nHeight, pSrcDC, xSrc, ySrc);
    }
    if (m_pTarget == nullptr || pSrcDC == nullptr || pSrcDC->m_pTarget == nullptr) {
        return FALSE;
    }
    const QRect dest = DeviceRect(x, y, x + nWidth, y + nHeight);
    const QRect src = pSrcDC->DeviceRect(xSrc, ySrc, xSrc + nWidth, ySrc + nHeight);
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
        DevicePainter painter(target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRectF(to), source, QRectF(from));
    }
    Changed();
    return TRUE;
}
