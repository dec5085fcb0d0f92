// Choosing the sail plan, the polar and the point on show, and the display check boxes.
#include <algorithm>

#include "data/invalid_argument.h"
#include "data/number_text.h"
#include "editor/fill_helpers.h"
#include "editor/polar_dialog.h"
#include "editor/text_values.h"

PERF_POLAR* Cpolar::CurrentPolar() {
    if (m_nCurSailPlan < 0 || m_nCurSailPlan >= static_cast<int>(m_aSailPlans.size())) {
        return nullptr;
    }
    SAILPLAN& sailPlan = *m_aSailPlans[static_cast<std::size_t>(m_nCurSailPlan)];
    if (m_nCurWindSpeed < 0 || m_nCurWindSpeed >= sailPlan.GetPolarCount()) {
        return nullptr;
    }
    return sailPlan.m_aPolars[static_cast<std::size_t>(m_nCurWindSpeed)].get();
}

SAILPLAN& Cpolar::CurrentSailPlan() {
    CheckIndex(m_nCurSailPlan, m_aSailPlans.size(), "sail plan");
    return *m_aSailPlans[static_cast<std::size_t>(m_nCurSailPlan)];
}

void Cpolar::ShowSailPlan(int nSailPlan) {
    CheckIndex(nSailPlan, m_aSailPlans.size(), "sail plan");
    SAILPLAN& sailPlan = *m_aSailPlans[static_cast<std::size_t>(nSailPlan)];
    FillWindSpeedCombo(sailPlan, m_comboWindSpeed);
    m_nCurWindSpeed = 0;
    FillVectorList(sailPlan, 0, m_listVectors);
    m_fTackingAngle = sailPlan.GetTackingAngle(0);
    UpdateData(FALSE);
    m_nCurSailPlan = nSailPlan;
    m_btnDeleteVector.EnableWindow(m_listVectors.GetItemCount() > 0);
    const BOOL bPolars = m_comboWindSpeed.GetCount() > 0;
    if (!bPolars) {
        m_editTackingAngle.SetWindowText("");
    }
    m_btnAddVector.EnableWindow(bPolars);
    m_btnDeleteWindSpeed.EnableWindow(bPolars);
    m_editTackingAngle.EnableWindow(bPolars);
    m_comboWindSpeed.EnableWindow(bPolars);
}

void Cpolar::OnSelchangeSailPlan() {
    const int nSel = m_comboSailPlan.GetCurSel();
    if (nSel < 0 || nSel >= static_cast<int>(m_aSailPlans.size())) {
        return;
    }
    ShowSailPlan(nSel);
    SAILPLAN& sailPlan = *m_aSailPlans[static_cast<std::size_t>(nSel)];
    m_pGraph->ShowPolar(&sailPlan,
                        sailPlan.m_aPolars.empty() ? nullptr : sailPlan.m_aPolars.front().get());
}

void Cpolar::OnSelchangeWindSpeed() {
    const int nSel = m_comboWindSpeed.GetCurSel();
    // The sail plan comes from the sail plan combo box; without its selection there is none.
    const int nSailPlan = m_comboSailPlan.GetCurSel();
    if (nSel < 0 || nSailPlan < 0 || nSailPlan >= static_cast<int>(m_aSailPlans.size())) {
        return;
    }
    SAILPLAN& sailPlan = *m_aSailPlans[static_cast<std::size_t>(nSailPlan)];
    PERF_POLAR& polar = sailPlan.Polar(nSel);
    FillVectorList(polar, m_listVectors);
    m_fTackingAngle = polar.m_fTackingAngle;
    UpdateData(FALSE);
    m_nCurWindSpeed = nSel;
    m_btnDeleteVector.EnableWindow(m_listVectors.GetItemCount() > 0);
    m_pGraph->ShowPolar(&sailPlan, &polar);
}

void Cpolar::OnTrackCurve() {
    OnShowAll();
}

void Cpolar::OnShowAll() {
    if (m_nCurSailPlan < 0 || m_nCurSailPlan >= static_cast<int>(m_aSailPlans.size())) {
        return;
    }
    ShowCurrentPolarAt(m_listVectors.GetNextItem(-1, LVNI_SELECTED));
}

void Cpolar::ShowCurrentPolarAt(int nRow) {
    SAILPLAN& sailPlan = CurrentSailPlan();
    m_pGraph->ShowPolar(&sailPlan, m_comboWindSpeed.GetCount() > 0 ? CurrentPolar() : nullptr);
    // The diagram starts again at the first point; the list goes back to where the user was.
    const int nCount = m_listVectors.GetItemCount();
    if (nCount == 0) {
        return;
    }
    nRow = std::clamp(nRow, 0, nCount - 1);
    m_listVectors.SetItemState(nRow, LVIS_SELECTED, LVIS_SELECTED);
    m_listVectors.EnsureVisible(nRow, FALSE);
}

void Cpolar::OnClickVectorList(NMHDR* /*pHeader*/, LRESULT* pResult) {
    *pResult = 0;
}

void Cpolar::OnItemchangedVectorList(NMHDR* /*pHeader*/, LRESULT* pResult) {
    const int nRow = m_listVectors.GetNextItem(-1, LVNI_SELECTED);
    if (nRow >= 0 && m_pGraph != nullptr) {
        m_pGraph->SelectPoint(nRow);
    }
    *pResult = 0;
}

void Cpolar::InsertVectorAt(float fAngle, float fSpeed) {
    PERF_POLAR* pPolar = CurrentPolar();
    if (pPolar == nullptr) {
        return;
    }
    int nRow = 0;
    while (nRow < m_listVectors.GetItemCount() && !(RowAngle(nRow) >= fAngle)) {
        ++nRow;
    }
    m_listVectors.InsertItem(nRow, FormatFixed2(fAngle));
    m_listVectors.SetItemText(nRow, 1, FormatFixed2(fSpeed));
    CurrentSailPlan().InsertVector(m_nCurWindSpeed, nRow, fAngle, fSpeed);
    ShowCurrentPolarAt(nRow);
    m_btnDeleteVector.EnableWindow(TRUE);
    UpdateTitle(RecordStep());  // a point added in the diagram is a step of its own
}

float Cpolar::RowAngle(int nRow) {
    return Atof(m_listVectors.GetItemText(nRow, 0));
}
