#include "diagram/graph.h"

#include "data/invalid_argument.h"
#include "diagram/geometry.h"
#include "translation/string_translator.h"

namespace {

const char* Translated(const char* pszText) {
    return g_pTranslator != nullptr ? g_pTranslator->Translate(pszText) : pszText;
}

}  // namespace

BEGIN_MESSAGE_MAP(CGraph, CWnd)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_MOUSEWHEEL()
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
      m_pFrameWnd(pFrame),
      m_pCaptionWnd(pFrame != nullptr ? pFrame->GetParent() : nullptr),
      m_pOwner(pOwner) {
    ComputeScale();
    Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, rc, pFrame, kWindowId);
    m_rcClient = rc;
    m_toolTip.Create(this);
    m_toolTip.AddWindowTool(this, Translated("click and drag control point to move curve"));
}

CGraph::~CGraph() = default;

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
    dc.FillSolidRect(m_aPointRects[static_cast<std::size_t>(m_nSelected)], m_crCurve);
    CPen pen(PS_SOLID, 1, m_crGrid);
    CBrush brush(m_crCurve);
    CPen* pOldPen = dc.SelectObject(&pen);
    CBrush* pOldBrush = dc.SelectObject(&brush);
    dc.Rectangle(m_aPointRects[static_cast<std::size_t>(nIndex)]);
    dc.SelectObject(pOldPen);
    dc.SelectObject(pOldBrush);
    m_nSelected = nIndex;
}

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
    CPoint topLeft{0, 0};
    CPoint bottomRight{m_rcClient.right, m_rcClient.bottom};
    dc.DPtoLP(&topLeft);
    dc.DPtoLP(&bottomRight);
    m_ptLogTopLeft = topLeft;
    m_ptLogBottomRight = bottomRight;
    m_sizeLogical = CSize{bottomRight.x - topLeft.x, topLeft.y - bottomRight.y};
    DrawCurve(&dc);
    DrawPoints(&dc);
}

void CGraph::DrawCurve(CDC* pDC) {
    m_aCurvePoints.clear();
    AppendCurveVertices(*m_pPolar, m_aCurvePoints);
    CPen pen(PS_SOLID, 1, m_crCurve);
    CPen* pOld = pDC->SelectObject(&pen);
    pDC->SetBkMode(TRANSPARENT);
    // Each segment starts with a move to its first vertex; its joint with the next segment
    // appears twice in the vertex list.
    const PolarArray::size_type nSegments =
        m_pPolar->m_aVectors.size() > 1 ? m_pPolar->m_aVectors.size() - 1 : 0;
    std::size_t nVertex = 0;
    for (std::size_t j = 0; j < nSegments && nVertex < m_aCurvePoints.size(); ++j) {
        pDC->MoveTo(m_aCurvePoints[nVertex++]);
        const CPoint end = PolarToPoint(m_pPolar->m_aVectors[j + 1]->m_fAngle,
                                        m_pPolar->m_aVectors[j + 1]->m_fSpeed);
        while (nVertex < m_aCurvePoints.size()) {
            const CPoint p = m_aCurvePoints[nVertex++];
            pDC->LineTo(p);
            if (p == end) {
                break;
            }
        }
    }
    pDC->SelectObject(pOld);
}

void CGraph::DrawPoints(CDC* pDC) {
    m_aPointRects.clear();
    const int h = ControlSquareHalfSide(m_sizeLogical);
    CPen pen(PS_SOLID, 1, m_crGrid);
    CBrush brush(m_crCurve);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    for (std::size_t i = 0; i < m_pPolar->m_aVectors.size(); ++i) {
        const CPoint p =
            PolarToPoint(m_pPolar->m_aVectors[i]->m_fAngle, m_pPolar->m_aVectors[i]->m_fSpeed);
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
    pDC->SelectObject(pOldPen);
    pDC->SelectObject(pOldBrush);
}

BOOL CGraph::OnMouseWheel(UINT /*nFlags*/, short /*zDelta*/, CPoint /*pt*/) {
    return TRUE;
}
