#pragma once

#include <memory>
#include <vector>

#include "data/sailplan.h"
#include "diagram/graph_owner.h"
#include "framework/controls.h"
#include "framework/dc.h"
#include "framework/wnd.h"
#include "resources/resource_ids.h"

// The polar diagram: a child window of the dialog's frame control 1006 that shows the current
// polar of the current sail plan, lets the user drag its points, reads angle and speed under
// the mouse and tracks the curve. It holds plain pointers into the dialog's data; the dialog
// hands it new ones (ShowPolar) whenever they change, before the old ones are freed.
class CGraph : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    static constexpr int kWindowId = IDC_DIAGRAM;

    CGraph(CWnd* pFrame, IGraphOwner* pOwner, CRect rc, SAILPLAN* pSailPlan, PERF_POLAR* pPolar,
           COLORREF crGrid, COLORREF crBackground, COLORREF crCurve, COLORREF crTackingSector,
           COLORREF crOtherPolars);
    ~CGraph() override;

    void ShowPolar(SAILPLAN* pSailPlan, PERF_POLAR* pPolar);
    void SelectPoint(int nIndex);

    // Sets the diagram's mapping on a context: isotropic, (2R, 2R) logical units, the pole at
    // a fifth of the width and half the height, y pointing up.
    void PrepareDC(CDC* pDC);
    void ComputeScale();

    // Read by tests, the renderer and the benchmarks.
    PERF_POLAR* GetPolar() const { return m_pPolar; }
    SAILPLAN* GetSailPlan() const { return m_pSailPlan; }
    int GetRadius() const { return m_nRadius; }
    int GetSelected() const { return m_nSelected; }
    int GetTrackIndex() const { return m_nTrackIndex; }
    CPoint GetCross() const { return m_ptCross; }
    const std::vector<CRect>& PointRects() const { return m_aPointRects; }
    // Where the last painting put the speed rings' labels, in device pixels.
    const std::vector<CRect>& RingLabelRects() const { return m_aRingLabelRects; }
    const std::vector<CPoint>& CurvePoints() const { return m_aCurvePoints; }
    const CBitmap& BackgroundImage() const { return m_bmpBackground; }
    // One drag step's drawing on the window's context, as a drag does it.
    void RedrawForegroundNow();

  protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    // The read-out belongs to the mouse over the diagram: it goes when the mouse leaves.
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnLButtonDblClk(UINT nFlags, CPoint point);

    void DrawTackingSector(CDC* pDC);
    void DrawSpeedRings(CDC* pDC);
    void DrawAngleRays(CDC* pDC);
    void DrawOtherPolars(CDC* pDC);
    void DrawCurve(CDC* pDC);
    void DrawPoints(CDC* pDC);
    void DrawCross(CDC* pDC);
    // The line from the pole to the track cross, inverted (drawn twice, it is gone).
    void DrawBearingLine(CDC* pDC);
    void RedrawForeground(CDC* pDC);

    void HitTestPoints(CPoint point);
    void DragPoint(CPoint point);
    void TrackCurve(CPoint point);
    void ShowReadout(float fAngle, float fSpeed);

  private:
    CPoint ToLogical(CPoint point);
    bool TrackMode();
    void DrawPolarCurve(CDC* pDC, const PERF_POLAR& polar, std::vector<CPoint>* pRecord);
    void MoveCross(CDC* pDC, CPoint ptNew);
    void MoveSelection(CDC* pDC, int nIndex);

    CRect m_rcClient;
    int m_nRadius = 200;
    CSize m_sizeWindowExt{400, 400};
    COLORREF m_crGrid;
    COLORREF m_crBackground;
    COLORREF m_crCurve;
    COLORREF m_crTackingSector;
    COLORREF m_crOtherPolars;
    PERF_POLAR* m_pPolar;
    SAILPLAN* m_pSailPlan;
    CWnd* m_pCaptionWnd;
    IGraphOwner* m_pOwner;
    CPoint m_ptCross;
    CPoint m_ptFirstPoint;
    std::vector<CPoint> m_aCurvePoints;
    std::vector<CRect> m_aPointRects;
    std::vector<CRect> m_aRingLabelRects;
    int m_nTrackIndex = 0;
    int m_nSelected = 0;
    CBitmap m_bmpBackground;
    std::unique_ptr<CDC> m_pDcMem;
    bool m_bDragging = false;
    bool m_bModified = false;
    bool m_bBearingShown = false;
    CSize m_sizeLogical;
    CPoint m_ptLogTopLeft;
    CPoint m_ptLogBottomRight;
    CTarnToolTipCtrl m_toolTip;
};
