#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "framework/mapping.h"
#include "framework/win_defs.h"
#include "framework/win_types.h"

class CWnd;
class QPainter;
class VectorRecording;

// Pen styles, background modes, raster operations and text alignment of the platform.
constexpr int PS_SOLID = 0;
constexpr int PS_DOT = 2;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int R2_NOT = 6;
constexpr int R2_COPYPEN = 13;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr DWORD SRCCOPY = 0x00CC0020;

class CPen {
  public:
    CPen() = default;
    CPen(int nStyle, int nWidth, COLORREF cr) { CreatePen(nStyle, nWidth, cr); }
    BOOL CreatePen(int nStyle, int nWidth, COLORREF cr);
    int m_nStyle = PS_SOLID;
    int m_nWidth = 1;  // logical units; a width below one pixel draws one pixel
    COLORREF m_cr = 0;
};

class CBrush {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF cr) { CreateSolidBrush(cr); }
    BOOL CreateSolidBrush(COLORREF cr);
    COLORREF m_cr = 0xFFFFFF;
};

// The platform's description of a bitmap.
struct BITMAP {
    int bmType;
    int bmWidth;
    int bmHeight;
    int bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
};

class CDC;

// An off-screen image in the pixel format of the window (32 bits a pixel). Made for a context
// that draws vector shapes, it records them instead (Recording()).
class CBitmap {
  public:
    CBitmap();
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL DeleteObject();
    int GetObject(int nCount, BITMAP* pBitmap) const;
    DWORD GetBitmapBits(DWORD dwCount, void* pBits) const;
    DWORD SetBitmapBits(DWORD dwCount, const void* pBits);
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }
    const std::shared_ptr<VectorRecording>& Recording() const { return m_pRecording; }

  private:
    QImage m_image;
    std::shared_ptr<VectorRecording> m_pRecording;
};

// A device context that draws on an image, pixel-exact and without antialiasing, with the
// platform's mapping modes, pens, brushes and raster operations. Lines of one pixel are drawn
// point by point (Bresenham, the end point left out as the platform does), so that inverting
// a line twice restores every pixel.
// A window whose widget has a vector painter (CustomWindowWidget::SetVectorPainter), and a
// bitmap made for such a window, get vector shapes instead: lines, arcs, pies, rectangles and
// text in client units, for SVG or PDF. Inverting has no meaning there: such drawing is plain.
class CDC {
  public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    int SetMapMode(int nMode) { return m_map.SetMapMode(nMode); }
    // The size of a text in device pixels, in the font TextOut draws with.
    CSize GetTextExtent(const std::string& strText) const;
    CSize SetWindowExt(int cx, int cy) { return m_map.SetWindowExt({cx, cy}); }
    CSize SetWindowExt(CSize size) { return m_map.SetWindowExt(size); }
    CPoint SetWindowOrg(int x, int y) { return m_map.SetWindowOrg({x, y}); }
    CSize SetViewportExt(int cx, int cy) { return m_map.SetViewportExt({cx, cy}); }
    CSize SetViewportExt(CSize size) { return m_map.SetViewportExt(size); }
    CPoint SetViewportOrg(int x, int y) { return m_map.SetViewportOrg({x, y}); }
    void LPtoDP(CPoint* pPoint) const { *pPoint = m_map.LPtoDP(*pPoint); }
    void DPtoLP(CPoint* pPoint) const { *pPoint = m_map.DPtoLP(*pPoint); }
    const Mapping& GetMapping() const { return m_map; }

    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CBitmap* SelectObject(CBitmap* pBitmap);
    int SetBkMode(int nMode);
    COLORREF SetBkColor(COLORREF cr);
    COLORREF SetTextColor(COLORREF cr);
    int SetROP2(int nDrawMode);
    UINT SetTextAlign(UINT nFlags);

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint pt) { return MoveTo(pt.x, pt.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(CPoint pt) { return LineTo(pt.x, pt.y); }
    BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(const CRect& rc) { return Rectangle(rc.left, rc.top, rc.right, rc.bottom); }
    void FillSolidRect(const CRect& rc, COLORREF cr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF cr) {
        FillSolidRect(CRect{x, y, x + cx, y + cy}, cr);
    }
    BOOL TextOut(int x, int y, const std::string& strText);
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop);

    // The image this context draws on (a window's backing image or the selected bitmap).
    QImage* Target() const { return m_pTarget; }
    // Whether this context draws vector shapes rather than pixels.
    bool IsVector() const { return m_pPainter != nullptr || m_pRecording != nullptr; }
    COLORREF GetPixel(int x, int y) const;  // device coordinates
    // Device pixels per client unit: the pixel ratio of the image drawn on (2 on a screen at
    // scale 2). Coordinates, mappings and text sizes stay in client units; drawing happens at
    // the image's own resolution.
    double DeviceScale() const;

  protected:
    // A window context draws on the window's backing image and shows what it drew.
    void AttachWindow(CWnd* pWnd);
    void Changed();

  private:
    enum class Shape { Arc, Pie };
    BOOL DrawArcShape(Shape shape, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void PlotLine(CPoint from, CPoint to);
    void Plot(int x, int y, bool bOn);
    int ClientPenWidth() const;
    int DevicePenWidth() const;
    // A logical point in the target's device pixels, rounded once from the exact position.
    CPoint ToDevice(CPoint pt) const;
    QRect DeviceRect(int x1, int y1, int x2, int y2) const;

    // Vector drawing (dc_vector.cpp): the shapes in client units.
    // A step drawn now or recorded, after the lines waiting to be joined.
    void Emit(std::function<void(QPainter&)> step);
    void EmitNow(std::function<void(QPainter&)> step);
    // Lines that continue one another in one pen are one path (one element of an SVG), drawn
    // when something else is.
    void FlushLines();
    QPointF ClientPoint(CPoint pt) const;
    QPen VectorPen() const;
    void VectorLine(CPoint from, CPoint to);
    void VectorArcShape(Shape shape, int x1, int y1, int x2, int y2, int x3, int y3, int x4,
                        int y4);
    void VectorRectangle(int x1, int y1, int x2, int y2);
    void VectorFill(const CRect& rc, COLORREF cr);
    void VectorText(int x, int y, const std::string& strText);
    BOOL VectorBitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc);
    // A recording played onto this context's image, as a block transfer of its pixels would.
    void PlayOnImage(const VectorRecording& recording, QRect dest, QPointF offset);

    QImage* m_pTarget = nullptr;
    QPainter* m_pPainter = nullptr;
    VectorRecording* m_pRecording = nullptr;
    QPainterPath m_pendingLines;
    QPen m_pendingPen;
    QPointer<QWidget> m_pWidget;
    CBitmap* m_pBitmap = nullptr;
    Mapping m_map;
    // The platform's default pen: black, one device pixel at any mapping.
    CPen m_defaultPen{PS_SOLID, 0, 0};
    CBrush m_defaultBrush{0xFFFFFF};
    CPen* m_pPen = &m_defaultPen;
    CBrush* m_pBrush = &m_defaultBrush;
    CPoint m_ptCurrent{0, 0};
    int m_nBkMode = OPAQUE;
    COLORREF m_crBk = 0xFFFFFF;
    COLORREF m_crText = 0;
    int m_nRop2 = R2_COPYPEN;
    UINT m_nTextAlign = TA_LEFT | TA_TOP;
    int m_nStylePos = 0;  // position in the dot pattern, carried from line to line
};

// The context of a window's client area, outside painting.
class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* pWnd) { AttachWindow(pWnd); }
};

// The context handed to a paint handler.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* pWnd) { AttachWindow(pWnd); }
};

QColor ToQColor(COLORREF cr);
