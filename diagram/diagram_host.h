#pragma once

#include <memory>

#include "data/sailplan.h"
#include "diagram/graph.h"
#include "diagram/graph_owner.h"
#include "framework/dialog.h"

// A small window that hosts the diagram with the controls it reads (the point list, the wind
// speed box, "Track curve" and "Show All"), so that the diagram can run outside the editor: in
// the renderer of polarctl, the benchmarks and the tests. It draws with exactly the editor's
// code.
class DiagramHost : public CDialog, public IGraphOwner {
  public:
    DiagramHost(int nWidth, int nHeight, COLORREF crGrid, COLORREF crBackground, COLORREF crCurve,
                COLORREF crTackingSector, COLORREF crOtherPolars);
    ~DiagramHost() override;

    // Shows polar nPolar of the sail plan (not owned), as the editor does after a selection.
    void Show(SAILPLAN* pSailPlan, int nPolar, bool bShowAll, bool bTrackCurve);

    // Draws the diagram at this many image pixels per unit of its size (a picture for a dense
    // screen or a large print); 0 follows the screen.
    void SetDeviceScale(double dScale);

    // Draws the diagram, as shown, on a painter whose units are the window's client units, as
    // vector shapes (for SVG or PDF); the window's own image stays as it was.
    void PaintVector(QPainter& painter);

    CGraph& Graph() { return *m_pGraph; }
    const QImage& Image();
    CListCtrl& List() { return m_list; }

    CListCtrl& GraphPointList() override { return m_list; }
    CComboBox& GraphWindSpeedCombo() override { return m_combo; }
    CButton& GraphTrackCurveCheck() override { return m_chkTrackCurve; }
    CButton& GraphShowAllCheck() override { return m_chkShowAll; }
    void InsertVectorAt(float fAngle, float fSpeed) override;

  protected:
    void OnItemchangedList(NMHDR* pHeader, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

  private:
    DialogTemplate m_template;
    int m_nWidth;
    int m_nHeight;
    COLORREF m_colors[5];
    CListCtrl m_list;
    CComboBox m_combo;
    CButton m_chkTrackCurve;
    CButton m_chkShowAll;
    std::unique_ptr<CGraph> m_pGraph;
    SAILPLAN* m_pSailPlan = nullptr;
    int m_nPolar = 0;
    double m_dDeviceScale = 0.0;
};
