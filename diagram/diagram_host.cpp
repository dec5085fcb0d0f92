#include "diagram/diagram_host.h"

#include "data/number_text.h"
#include "framework/custom_window.h"
#include "resources/resource_ids.h"

namespace {

DialogTemplate HostTemplate() {
    const DWORD kChild = WS_CHILD | WS_VISIBLE;
    DialogTemplate t{2000, 0x0409, WS_POPUP | WS_CAPTION, 100, 60, "Polar diagram", "MS Sans Serif",
                     8,    {}};
    t.items = {
        {IDC_VECTOR_LIST, ControlClass::ListView, kChild | LVS_REPORT | LVS_SINGLESEL | WS_BORDER,
         0, 0, 10, 10, ""},
        {IDC_WIND_SPEED_COMBO, ControlClass::ComboBox, kChild | CBS_DROPDOWN, 0, 10, 10, 30, ""},
        {IDC_TRACK_CURVE, ControlClass::Button, kChild | BS_AUTOCHECKBOX, 0, 20, 10, 10,
         "Track curve"},
        {IDC_SHOW_ALL, ControlClass::Button, kChild | BS_AUTOCHECKBOX, 0, 30, 10, 10, "Show All"},
        {IDC_DIAGRAM_FRAME, ControlClass::Static, kChild | SS_BLACKFRAME, 12, 0, 80, 50, ""},
    };
    return t;
}

}  // namespace

BEGIN_MESSAGE_MAP(DiagramHost, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_VECTOR_LIST, OnItemchangedList)
END_MESSAGE_MAP()

DiagramHost::DiagramHost(int nWidth, int nHeight, COLORREF crGrid, COLORREF crBackground,
                         COLORREF crCurve, COLORREF crTackingSector, COLORREF crOtherPolars)
    : m_template(HostTemplate()),
      m_nWidth(nWidth),
      m_nHeight(nHeight),
      m_colors{crGrid, crBackground, crCurve, crTackingSector, crOtherPolars} {
    CreateIndirect(&m_template);
    m_list.Attach(GetDlgItem(IDC_VECTOR_LIST)->GetSafeHwnd());
    m_combo.Attach(GetDlgItem(IDC_WIND_SPEED_COMBO)->GetSafeHwnd());
    m_chkTrackCurve.Attach(GetDlgItem(IDC_TRACK_CURVE)->GetSafeHwnd());
    m_chkShowAll.Attach(GetDlgItem(IDC_SHOW_ALL)->GetSafeHwnd());
    m_list.InsertColumn(0, "True Wind Angle", LVCFMT_LEFT, 95);
    m_list.InsertColumn(1, "Boat Speed Kt", LVCFMT_LEFT, 95);
    // The diagram gets exactly the size asked for, beside the controls.
    CWnd* pFrame = GetDlgItem(IDC_DIAGRAM_FRAME);
    const int nLeft = pFrame->GetSafeHwnd()->x();
    m_hWnd->setFixedSize(nLeft + nWidth, std::max(nHeight, 120));
    pFrame->MoveWindow(nLeft, 0, nWidth, nHeight);
}

DiagramHost::~DiagramHost() {
    m_pGraph.reset();
    m_list.Detach();
    m_combo.Detach();
    m_chkTrackCurve.Detach();
    m_chkShowAll.Detach();
}

void DiagramHost::Show(SAILPLAN* pSailPlan, int nPolar, bool bShowAll, bool bTrackCurve) {
    m_pSailPlan = pSailPlan;
    m_nPolar = nPolar;
    m_chkShowAll.SetCheck(bShowAll ? 1 : 0);
    m_chkTrackCurve.SetCheck(bTrackCurve ? 1 : 0);
    m_combo.ResetContent();
    m_list.DeleteAllItems();
    PERF_POLAR* pPolar = nullptr;
    if (pSailPlan != nullptr && nPolar >= 0 && nPolar < pSailPlan->GetPolarCount()) {
        pPolar = pSailPlan->m_aPolars[static_cast<std::size_t>(nPolar)].get();
        for (const auto& p : pSailPlan->m_aPolars) {
            m_combo.AddString(FormatFixed2(p->m_fWindSpeed));
        }
        for (std::size_t i = 0; i < pPolar->m_aVectors.size(); ++i) {
            const int nRow = m_list.InsertItem(static_cast<int>(i),
                                               FormatFixed2(pPolar->m_aVectors[i]->m_fAngle));
            m_list.SetItemText(nRow, 1, FormatFixed2(pPolar->m_aVectors[i]->m_fSpeed));
        }
    }
    if (m_pGraph == nullptr) {
        m_pGraph = std::make_unique<CGraph>(
            GetDlgItem(IDC_DIAGRAM_FRAME), this, CRect{0, 0, m_nWidth, m_nHeight}, pSailPlan,
            pPolar, m_colors[0], m_colors[1], m_colors[2], m_colors[3], m_colors[4]);
        SetDeviceScale(m_dDeviceScale);
    }
    m_pGraph->ShowPolar(pSailPlan, pPolar);
}

void DiagramHost::SetDeviceScale(double dScale) {
    m_dDeviceScale = dScale;
    if (m_pGraph == nullptr) {
        return;
    }
    if (auto* pWidget = dynamic_cast<CustomWindowWidget*>(m_pGraph->GetSafeHwnd())) {
        pWidget->SetDeviceScale(dScale);
    }
}

void DiagramHost::PaintVector(QPainter& painter) {
    auto* pWidget =
        m_pGraph != nullptr ? dynamic_cast<CustomWindowWidget*>(m_pGraph->GetSafeHwnd()) : nullptr;
    if (pWidget == nullptr) {
        return;
    }
    painter.save();
    painter.setClipRect(QRectF(0, 0, m_nWidth, m_nHeight), Qt::IntersectClip);
    pWidget->SetVectorPainter(&painter);
    m_pGraph->InvalidateRect(nullptr, TRUE);
    m_pGraph->UpdateWindow();
    pWidget->SetVectorPainter(nullptr);
    painter.restore();
    // The background bitmap holds shapes now: drawn again in pixels, for what follows.
    m_pGraph->InvalidateRect(nullptr, TRUE);
    m_pGraph->UpdateWindow();
}

const QImage& DiagramHost::Image() {
    return *m_pGraph->GetBackingImage();
}

void DiagramHost::OnItemchangedList(NMHDR* /*pHeader*/, LRESULT* pResult) {
    const int nRow = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (nRow >= 0 && m_pGraph != nullptr) {
        m_pGraph->SelectPoint(nRow);
    }
    *pResult = 0;
}

void DiagramHost::InsertVectorAt(float fAngle, float fSpeed) {
    if (m_pSailPlan == nullptr || m_nPolar >= m_pSailPlan->GetPolarCount()) {
        return;
    }
    PERF_POLAR& polar = m_pSailPlan->Polar(m_nPolar);
    polar.InsertVector(OrderedIndexForAngle(polar.m_aVectors, fAngle), fAngle, fSpeed);
    Show(m_pSailPlan, m_nPolar, m_chkShowAll.GetCheck() != 0, m_chkTrackCurve.GetCheck() != 0);
}
