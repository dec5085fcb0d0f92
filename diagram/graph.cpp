#include "diagram/graph.h"

#include <cstdio>
#include <cstring>

#include "data/invalid_argument.h"
#include "data/number_text.h"
#include "diagram/geometry.h"
#include "translation/string_translator.h"

namespace {

const char* Translated(const char* pszText) {
    return g_pTranslator != nullptr ? g_pTranslator->Translate(pszText) : pszText;
}

// Restores a context's pen and brush when a drawing operation ends.
class SelectedTools {
  public:
    SelectedTools(CDC* pDC, CPen* pPen, CBrush* pBrush = nullptr)
        : m_pDC(pDC),
          m_pOldPen(pDC->SelectObject(pPen)),
          m_pOldBrush(pBrush != nullptr ? pDC->SelectObject(pBrush) : nullptr),
          m_bBrush(pBrush != nullptr) {}
    ~SelectedTools() {
        m_pDC->SelectObject(m_pOldPen);
        if (m_bBrush) {
            m_pDC->SelectObject(m_pOldBrush);
        }
    }
    SelectedTools(const SelectedTools&) = delete;
    SelectedTools& operator=(const SelectedTools&) = delete;

  private:
    CDC* m_pDC;
    CPen* m_pOldPen;
    CBrush* m_pOldBrush;
    bool m_bBrush;
};

// The unit after a ring's speed in the language; English (no translation) writes "kn", as the
// application's window does. The keys stay "Kt" and "Kts", which language files are made for.
const char* KnotsWord(int nKnots) {
    const char* pszKey = nKnots == 1 ? "Kt" : "Kts";
    const char* pszWord = Translated(pszKey);
    return std::strcmp(pszWord, pszKey) == 0 ? "kn" : pszWord;
}

constexpr UINT kButtonAndKeyFlags = MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL | 0x0010;
constexpr int kMaxDragX = 9999;

}  // namespace

BEGIN_MESSAGE_MAP(CGraph, CWnd)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEWHEEL()
ON_WM_LBUTTONDBLCLK()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

CGraph::CGraph(CWnd* pFrame, IGraphOwner* pOwner, CRect rc, SAILPLAN* pSailPlan, PERF_POLAR* pPolar,
               COLORREF crGrid, COLORREF crBackground, COLORREF crCurve, COLORREF crTackingSector,
               COLORREF crOtherPolars)
    : m_crGrid(crGrid),
      m_crBackground(crBackground),
      m_crCurve(crCurve),
      m_crTackingSector(crTackingSector),
      m_crOtherPolars(crOtherPolars),
      m_pPolar(pPolar),
      m_pSailPlan(pSailPlan),
      m_pCaptionWnd(pFrame != nullptr ? pFrame->GetParent() : nullptr),
      m_pOwner(pOwner) {
    ComputeScale();
    Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, rc, pFrame, kWindowId);
    m_rcClient = rc;
    m_toolTip.Create(this);
    m_toolTip.AddWindowTool(this, Translated("click and drag control point to move curve"));
}

CGraph::~CGraph() = default;

bool CGraph::TrackMode() {
    return m_pOwner != nullptr && m_pOwner->GraphTrackCurveCheck().GetSafeHwnd() != nullptr &&
           m_pOwner->GraphTrackCurveCheck().GetCheck() != 0;
}

void CGraph::ComputeScale() {
    if (m_pPolar == nullptr) {
        return;
    }
    const bool bShowAll = m_pOwner != nullptr &&
                          m_pOwner->GraphShowAllCheck().GetSafeHwnd() != nullptr &&
                          m_pOwner->GraphShowAllCheck().GetCheck() != 0;
    m_nRadius = ComputeScaleRadius(m_pSailPlan, *m_pPolar, bShowAll);
    m_sizeWindowExt = CSize{2 * m_nRadius, 2 * m_nRadius};
}

void CGraph::PrepareDC(CDC* pDC) {
    GetClientRect(&m_rcClient);
    const int W = m_rcClient.right;
    const int H = m_rcClient.bottom;
    pDC->SetMapMode(MM_ISOTROPIC);
    pDC->SetWindowOrg(0, 0);
    pDC->SetWindowExt(m_sizeWindowExt);
    pDC->SetViewportExt(W, -H);
    pDC->SetViewportOrg(W / 5, H / 2);
}

CPoint CGraph::ToLogical(CPoint point) {
    CClientDC dc(this);
    PrepareDC(&dc);
    dc.DPtoLP(&point);
    return point;
}

void CGraph::ShowPolar(SAILPLAN* pSailPlan, PERF_POLAR* pPolar) {
    m_pPolar = pPolar;
    m_pSailPlan = pSailPlan;
    m_nSelected = 0;
    m_nTrackIndex = 0;
    if (pPolar == nullptr) {
        // With nothing shown, nothing can be pressed either.
        m_aPointRects.clear();
        m_aCurvePoints.clear();
    }
    if (m_pOwner != nullptr) {
        m_pOwner->GraphPointList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    }
    ComputeScale();
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

void CGraph::SelectPoint(int nIndex) {
    if (m_aPointRects.empty()) {
        return;
    }
    CheckIndex(nIndex, m_aPointRects.size(), "control point");
    CheckIndex(m_nSelected, m_aPointRects.size(), "control point");
    CClientDC dc(this);
    PrepareDC(&dc);
    if (TrackMode()) {
        DrawCross(&dc);
    }
    MoveSelection(&dc, nIndex);
    if (TrackMode()) {
        DrawCross(&dc);
    }
}

void CGraph::MoveSelection(CDC* pDC, int nIndex) {
    // The old square loses its outline; the new one gets it.
    if (m_nSelected >= 0 && m_nSelected < static_cast<int>(m_aPointRects.size())) {
        pDC->FillSolidRect(m_aPointRects[static_cast<std::size_t>(m_nSelected)], m_crCurve);
    }
    CPen pen(PS_SOLID, 1, m_crGrid);
    CBrush brush(m_crCurve);
    SelectedTools tools(pDC, &pen, &brush);
    pDC->Rectangle(m_aPointRects[static_cast<std::size_t>(nIndex)]);
    m_nSelected = nIndex;
}

// ---- Painting ----

BOOL CGraph::OnEraseBkgnd(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(rc, m_crBackground);
    return TRUE;
}

void CGraph::OnPaint() {
    CPaintDC paintDC(this);
    if (m_pPolar == nullptr) {
        return;
    }
    CClientDC dc(this);
    PrepareDC(&dc);
    const int W = m_rcClient.right;
    const int H = m_rcClient.bottom;
    m_bmpBackground.DeleteObject();
    m_bmpBackground.CreateCompatibleBitmap(&dc, W, H);
    m_pDcMem = std::make_unique<CDC>();
    m_pDcMem->CreateCompatibleDC(&dc);

    CBitmap* pOldBitmap = m_pDcMem->SelectObject(&m_bmpBackground);
    m_pDcMem->FillSolidRect(0, 0, W, H, m_crBackground);
    PrepareDC(m_pDcMem.get());
    DrawTackingSector(m_pDcMem.get());
    // The axes in the context's default pen: black, one device pixel at any scale.
    m_pDcMem->MoveTo(0, m_nRadius);
    m_pDcMem->LineTo(0, -m_nRadius);
    m_pDcMem->MoveTo(0, 0);
    m_pDcMem->LineTo(m_nRadius, 0);
    DrawSpeedRings(m_pDcMem.get());
    DrawAngleRays(m_pDcMem.get());
    DrawOtherPolars(m_pDcMem.get());

    m_ptLogTopLeft = CPoint{m_rcClient.left, m_rcClient.top};
    m_ptLogBottomRight = CPoint{m_rcClient.right, m_rcClient.bottom};
    dc.DPtoLP(&m_ptLogTopLeft);
    dc.DPtoLP(&m_ptLogBottomRight);
    m_sizeLogical =
        CSize{m_ptLogBottomRight.x - m_ptLogTopLeft.x, m_ptLogTopLeft.y - m_ptLogBottomRight.y};
    dc.BitBlt(m_ptLogTopLeft.x, m_ptLogBottomRight.y, m_sizeLogical.cx, m_sizeLogical.cy,
              m_pDcMem.get(), m_ptLogTopLeft.x, m_ptLogBottomRight.y, SRCCOPY);
    DrawCurve(&dc);
    DrawPoints(&dc);
    DrawCross(&dc);
    m_bBearingShown = false;  // a full picture holds no bearing line
    m_pDcMem->SelectObject(pOldBitmap);
}

void CGraph::DrawTackingSector(CDC* pDC) {
    const float fAngle = m_pPolar->m_fTackingAngle;
    if (!(fAngle > 0.0f) && !(fAngle < 0.0f)) {
        return;  // no tacking angle (or none that is a number): no sector
    }
    CPen pen(PS_SOLID, 1, m_crTackingSector);
    CBrush brush(m_crTackingSector);
    SelectedTools tools(pDC, &pen, &brush);
    const float theta = fAngle * kDegToRad;
    const float f2R = static_cast<float>(2 * m_nRadius);
    const int R = m_nRadius;
    pDC->Pie(-R, R, R, -R, static_cast<int>(f2R * static_cast<float>(std::sin(theta))),
             static_cast<int>(f2R * static_cast<float>(std::cos(theta))), 0, R);
}

void CGraph::DrawSpeedRings(CDC* pDC) {
    CPen pen(PS_DOT, 1, m_crGrid);
    SelectedTools tools(pDC, &pen);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const int nSpacing = RingSpacing(m_nRadius);
    const int xLabel = RingLabelRightEdge(m_nRadius);
    m_aRingLabelRects.clear();
    for (int r = nSpacing; r < 2 * m_nRadius; r += nSpacing) {
        pDC->Arc(-r, r, r, -r, 0, -r, 0, r);
        // "1 knot" where the language has a singular.
        const int nKnots = r / 100;
        char szLabel[96];
        std::snprintf(szLabel, sizeof szLabel, "%d %s", nKnots, KnotsWord(nKnots));
        // Above the ring line on the upper side, below it on the lower side, unless that would
        // cut the label at the window's edge while the line itself is inside: then on the
        // other side of the line.
        const CSize extent = pDC->GetTextExtent(szLabel);
        for (const int y : {r, -r}) {
            CPoint at{xLabel, y};
            pDC->LPtoDP(&at);
            const bool bInside = at.y >= 0 && at.y < m_rcClient.bottom;
            bool bAbove = y > 0;
            if (bInside && bAbove && at.y - extent.cy < 0) {
                bAbove = false;
            } else if (bInside && !bAbove && at.y + extent.cy > m_rcClient.bottom) {
                bAbove = true;
            }
            const UINT nOldAlign = pDC->SetTextAlign(TA_RIGHT | (bAbove ? TA_BOTTOM : TA_TOP));
            pDC->TextOut(xLabel, y, szLabel);
            pDC->SetTextAlign(nOldAlign);
            const int top = bAbove ? at.y - extent.cy : at.y;
            m_aRingLabelRects.push_back(CRect{at.x - extent.cx, top, at.x, top + extent.cy});
        }
    }
    pDC->SetBkMode(nOldMode);
}

void CGraph::DrawAngleRays(CDC* pDC) {
    CPen pen(PS_DOT, 1, m_crGrid);
    SelectedTools tools(pDC, &pen);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const float f2R = static_cast<float>(2 * m_nRadius);
    for (int a = 10; a <= 170; a += 10) {
        const float theta = static_cast<float>(a) * kDegToRad;
        pDC->MoveTo(0, 0);
        pDC->LineTo(static_cast<int>(f2R * static_cast<float>(std::sin(theta))),
                    static_cast<int>(f2R * static_cast<float>(std::cos(theta))));
    }
    pDC->SetBkMode(nOldMode);
}

void CGraph::DrawPolarCurve(CDC* pDC, const PERF_POLAR& polar, std::vector<CPoint>* pRecord) {
    std::vector<CPoint> aLocal;
    std::vector<CPoint>& aVertices = pRecord != nullptr ? *pRecord : aLocal;
    std::vector<std::size_t> aStarts;
    aVertices.clear();
    AppendCurveVertices(polar, aVertices, &aStarts);
    for (std::size_t k = 0; k < aStarts.size(); ++k) {
        const std::size_t nEnd = k + 1 < aStarts.size() ? aStarts[k + 1] : aVertices.size();
        pDC->MoveTo(aVertices[aStarts[k]]);
        for (std::size_t i = aStarts[k] + 1; i < nEnd; ++i) {
            pDC->LineTo(aVertices[i]);
        }
    }
}

void CGraph::DrawOtherPolars(CDC* pDC) {
    if (m_pSailPlan == nullptr) {
        return;
    }
    CPen pen(PS_SOLID, 1, m_crOtherPolars);
    SelectedTools tools(pDC, &pen);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    for (const auto& pPolar : m_pSailPlan->m_aPolars) {
        if (pPolar.get() != m_pPolar) {
            DrawPolarCurve(pDC, *pPolar, nullptr);
        }
    }
    pDC->SetBkMode(nOldMode);
}

void CGraph::DrawCurve(CDC* pDC) {
    CPen pen(PS_SOLID, 1, m_crCurve);
    SelectedTools tools(pDC, &pen);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    DrawPolarCurve(pDC, *m_pPolar, &m_aCurvePoints);
    pDC->SetBkMode(nOldMode);
}

void CGraph::DrawPoints(CDC* pDC) {
    m_aPointRects.clear();
    const int h = ControlSquareHalfSide(m_sizeLogical, m_rcClient.Width());
    CPen pen(PS_SOLID, 1, m_crGrid);
    CBrush brush(m_crCurve);
    SelectedTools tools(pDC, &pen, &brush);
    for (std::size_t i = 0; i < m_pPolar->m_aVectors.size(); ++i) {
        const PERF_VECTOR& v = *m_pPolar->m_aVectors[i];
        const CPoint p = PolarToPoint(v.m_fAngle, v.m_fSpeed);
        const CRect square = ControlSquare(p, h);
        m_aPointRects.push_back(square);
        if (i == 0) {
            m_ptCross = p;
            m_ptFirstPoint = p;
        }
        if (static_cast<int>(i) == m_nSelected) {
            pDC->Rectangle(square);
        } else {
            pDC->FillSolidRect(square, m_crCurve);
        }
    }
}

void CGraph::DrawCross(CDC* pDC) {
    if (m_pOwner == nullptr || m_pOwner->GraphPointList().GetItemCount() < 1 || !TrackMode()) {
        return;
    }
    CPen pen(PS_SOLID, 1, m_crOtherPolars);
    SelectedTools tools(pDC, &pen);
    const int nOldRop = pDC->SetROP2(R2_NOT);
    const int a = TrackCrossHalfArm(m_nRadius);
    pDC->MoveTo(m_ptCross.x - a, m_ptCross.y);
    pDC->LineTo(m_ptCross.x + a, m_ptCross.y);
    pDC->MoveTo(m_ptCross.x, m_ptCross.y - a);
    pDC->LineTo(m_ptCross.x, m_ptCross.y + a);
    pDC->SetROP2(nOldRop);
}

void CGraph::DrawBearingLine(CDC* pDC) {
    CPen pen(PS_SOLID, FirstPointLineWidth(m_sizeLogical, m_rcClient.Width()), m_crGrid);
    SelectedTools tools(pDC, &pen);
    const int nOldRop = pDC->SetROP2(R2_NOT);
    pDC->MoveTo(0, 0);
    pDC->LineTo(m_ptCross);
    pDC->SetROP2(nOldRop);
}

void CGraph::RedrawForeground(CDC* pDC) {
    if (m_pDcMem == nullptr || m_pPolar == nullptr) {
        return;
    }
    // The static part goes to the window in one block transfer and the curve and its squares
    // are drawn over it: the picture a separate work image would give, with one copy of the
    // frame's pixels less, which is most of a drag step's cost.
    CBitmap* pOld = m_pDcMem->SelectObject(&m_bmpBackground);
    pDC->BitBlt(m_ptLogTopLeft.x, m_ptLogBottomRight.y, m_sizeLogical.cx, m_sizeLogical.cy,
                m_pDcMem.get(), m_ptLogTopLeft.x, m_ptLogBottomRight.y, SRCCOPY);
    m_pDcMem->SelectObject(pOld);
    DrawCurve(pDC);
    DrawPoints(pDC);
    m_bBearingShown = false;
}

void CGraph::RedrawForegroundNow() {
    CClientDC dc(this);
    PrepareDC(&dc);
    RedrawForeground(&dc);
}

// ---- Mouse ----

void CGraph::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    HitTestPoints(point);
}

void CGraph::HitTestPoints(CPoint point) {
    m_bDragging = false;
    m_bModified = false;
    CClientDC dc(this);
    PrepareDC(&dc);
    dc.DPtoLP(&point);
    const int nHit = HitControlSquare(m_aPointRects, point);
    if (nHit < 0) {
        return;
    }
    MoveSelection(&dc, nHit);
    if (m_pOwner != nullptr) {
        m_pOwner->GraphPointList().SetItemState(nHit, LVIS_SELECTED, LVIS_SELECTED);
    }
    m_bDragging = true;
}

void CGraph::OnMouseMove(UINT nFlags, CPoint point) {
    if (m_pOwner == nullptr || m_pOwner->GraphPointList().GetItemCount() < 1) {
        return;
    }
    if ((nFlags & kButtonAndKeyFlags) == MK_LBUTTON) {
        if (m_bDragging) {
            DragPoint(point);
        }
        return;
    }
    if (TrackMode()) {
        TrackCurve(point);
        return;
    }
    const CPoint logical = ToLogical(point);
    if (logical.x >= 0) {
        float fAngle = 0.0f;
        float fSpeed = 0.0f;
        PointToPolar(logical.x, logical.y, &fAngle, &fSpeed);
        ShowReadout(fAngle, fSpeed);
    }
}

void CGraph::DragPoint(CPoint point) {
    CClientDC dc(this);
    PrepareDC(&dc);
    dc.DPtoLP(&point);
    if (point.x < 0 || point.x > kMaxDragX || m_pPolar == nullptr) {
        return;
    }
    float fAngle = 0.0f;
    float fSpeed = 0.0f;
    PointToPolar(point.x, point.y, &fAngle, &fSpeed);
    CheckIndex(m_nSelected, m_pPolar->m_aVectors.size(), "point");
    PERF_VECTOR& v = *m_pPolar->m_aVectors[static_cast<std::size_t>(m_nSelected)];
    v.m_fAngle = fAngle;
    v.m_fSpeed = fSpeed;
    CListCtrl& list = m_pOwner->GraphPointList();
    list.SetItemText(m_nSelected, 0, FormatFixed2(fAngle));
    list.SetItemText(m_nSelected, 1, FormatFixed2(fSpeed));
    ShowReadout(fAngle, fSpeed);
    RedrawForeground(&dc);
    m_bModified = true;
}

void CGraph::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/) {
    if (m_bModified) {
        ComputeScale();
        InvalidateRect(nullptr, TRUE);
        UpdateWindow();
        m_bModified = false;
        if (m_pOwner != nullptr) {
            m_pOwner->GraphEditEnded();
        }
    }
}

void CGraph::MoveCross(CDC* pDC, CPoint ptNew) {
    const bool bBearing = m_bBearingShown;
    if (bBearing) {
        DrawBearingLine(pDC);  // removes it
    }
    DrawCross(pDC);
    m_ptCross = ptNew;
    DrawCross(pDC);
    if (bBearing) {
        DrawBearingLine(pDC);
    }
}

void CGraph::TrackCurve(CPoint point) {
    if (!TrackMode() || m_aCurvePoints.empty()) {
        return;
    }
    const CPoint logical = ToLogical(point);
    m_nTrackIndex = NearestVertex(m_aCurvePoints, logical);
    const CPoint vertex = m_aCurvePoints[static_cast<std::size_t>(m_nTrackIndex)];
    if (vertex == m_ptCross) {
        return;
    }
    CClientDC dc(this);
    PrepareDC(&dc);
    MoveCross(&dc, vertex);
    float fAngle = 0.0f;
    float fSpeed = 0.0f;
    PointToPolar(m_ptCross.x, m_ptCross.y, &fAngle, &fSpeed);
    ShowReadout(fAngle, fSpeed);
}

BOOL CGraph::OnMouseWheel(UINT /*nFlags*/, short zDelta, CPoint /*pt*/) {
    if (!TrackMode() || m_aCurvePoints.empty()) {
        return TRUE;
    }
    const int nLast = static_cast<int>(m_aCurvePoints.size()) - 1;
    if (zDelta > 0 && m_nTrackIndex < nLast) {
        ++m_nTrackIndex;
    } else if (zDelta <= 0 && m_nTrackIndex > 0) {
        --m_nTrackIndex;
    }
    CheckIndex(m_nTrackIndex, m_aCurvePoints.size(), "curve vertex");
    CClientDC dc(this);
    PrepareDC(&dc);
    if (m_bBearingShown) {
        DrawBearingLine(&dc);
    }
    DrawCross(&dc);
    m_ptCross = m_aCurvePoints[static_cast<std::size_t>(m_nTrackIndex)];
    DrawCross(&dc);
    // The wheel shows the bearing of the tracked value: a line from the pole to the cross.
    DrawBearingLine(&dc);
    m_bBearingShown = true;
    float fAngle = 0.0f;
    float fSpeed = 0.0f;
    PointToPolar(m_ptCross.x, m_ptCross.y, &fAngle, &fSpeed);
    ShowReadout(fAngle, fSpeed);
    return TRUE;
}

void CGraph::OnLButtonDblClk(UINT /*nFlags*/, CPoint point) {
    if (m_pOwner == nullptr || m_pOwner->GraphWindSpeedCombo().GetCount() < 1) {
        return;
    }
    const CPoint logical = ToLogical(point);
    // Left of the vertical axis the angle would be negative or above 180, and an angle of -0.5
    // or below is written to the data file as a terminator: such a point is never added.
    if (logical.x < 0) {
        return;
    }
    float fAngle = 0.0f;
    float fSpeed = 0.0f;
    PointToPolar(logical.x, logical.y, &fAngle, &fSpeed);
    m_pOwner->InsertVectorAt(fAngle, fSpeed);
}

void CGraph::ShowReadout(float fAngle, float fSpeed) {
    std::string strText = Translated("POLAR DIAGRAM  angle");
    strText += " ";
    strText += FormatFixed2(fAngle);
    strText += "  ";
    strText += Translated("speed");
    strText += " ";
    strText += FormatFixed2(fSpeed);
    if (m_pOwner != nullptr && m_pOwner->ShowGraphReadout(strText)) {
        return;
    }
    if (m_pCaptionWnd != nullptr) {
        m_pCaptionWnd->SetWindowText(strText);
    }
}

LRESULT CGraph::OnMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (m_pOwner != nullptr) {
        m_pOwner->ShowGraphReadout(std::string());
    }
    return 0;
}
