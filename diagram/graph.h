#pragma once

#include <vector>

#include "data/sailplan.h"
#include "diagram/graph_owner.h"
#include "framework/controls.h"
#include "framework/dc.h"
#include "framework/wnd.h"

// The polar diagram: a child window of the dialog's frame control 1006 that shows the current
// polar of the current sail plan. It holds plain pointers into the dialog's data; the dialog
// hands it new ones (ShowPolar) whenever they change, before the old ones are freed.
class CGraph : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    static constexpr int kWindowId = 1234;

    CGraph(CWnd* pFrame, IGraphOwner* pOwner, CRect rc, SAILPLAN* pSailPlan, PERF_POLAR* pPolar,
           COLORREF crGrid, COLORREF crBackground, COLORREF crCurve, COLORREF crTackingSector,
           COLORREF crOtherPolars);
    ~CGraph() override;

    void ShowPolar(SAILPLAN* pSailPlan, PERF_POLAR* pPolar);
    void SelectPoint(int nIndex);

    PERF_POLAR* GetPolar() const { return m_pPolar; }
    SAILPLAN* GetSailPlan() const { return m_pSailPlan; }
    int GetRadius() const { return m_nRadius; }
    int GetSelected() const { return m_nSelected; }
    const std::vector<CRect>& PointRects() const { return m_aPointRects; }

    // Sets the diagram's mapping on a context (Part of every drawing and mouse conversion).
    void PrepareDC(CDC* pDC);
    void ComputeScale();

  protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

    void DrawCurve(CDC* pDC);
    void DrawPoints(CDC* pDC);

    CRect m_rcClient;
    int m_nRadius = kMinRadiusUnits;
    CSize m_sizeWindowExt{2 * kMinRadiusUnits, 2 * kMinRadiusUnits};
    COLORREF m_crGrid;
    COLORREF m_crBackground;
    COLORREF m_crCurve;
    COLORREF m_crTackingSector;
    COLORREF m_crOtherPolars;
    PERF_POLAR* m_pPolar;
    SAILPLAN* m_pSailPlan;
    CWnd* m_pFrameWnd;
    CWnd* m_pCaptionWnd;
    IGraphOwner* m_pOwner;
    CPoint m_ptCross;
    CPoint m_ptFirstPoint;
    std::vector<CPoint> m_aCurvePoints;
    std::vector<CRect> m_aPointRects;
    int m_nTrackIndex = 0;
    int m_nSelected = 0;
    CSize m_sizeLogical;
    CPoint m_ptLogTopLeft;
    CPoint m_ptLogBottomRight;
    CTarnToolTipCtrl m_toolTip;

  private:
    static constexpr int kMinRadiusUnits = 200;
};
