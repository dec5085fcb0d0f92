// Choosing the sail plan, the polar and the point on show, and the display check boxes.
#include "editor/fill_helpers.h"
#include "editor/polar_dialog.h"

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

void Cpolar::OnSelchangeSailPlan() {
    const int nSel = m_comboSailPlan.GetCurSel();
    if (nSel < 0 || nSel >= static_cast<int>(m_aSailPlans.size())) {
        return;
    }
    SAILPLAN& sailPlan = *m_aSailPlans[static_cast<std::size_t>(nSel)];
    FillWindSpeedCombo(sailPlan, m_comboWindSpeed);
    m_nCurWindSpeed = 0;
    FillVectorList(sailPlan, 0, m_listVectors);
    m_fTackingAngle = sailPlan.GetTackingAngle(0);
    UpdateData(FALSE);
    m_nCurSailPlan = nSel;
    m_btnDeleteVector.EnableWindow(m_listVectors.GetItemCount() > 0);
    if (m_comboWindSpeed.GetCount() > 0) {
        m_btnAddVector.EnableWindow(TRUE);
        m_btnDeleteWindSpeed.EnableWindow(TRUE);
        m_editTackingAngle.EnableWindow(TRUE);
        m_comboWindSpeed.EnableWindow(TRUE);
        m_pGraph->ShowPolar(&sailPlan, sailPlan.m_aPolars.front().get());
    } else {
        m_btnDeleteWindSpeed.EnableWindow(FALSE);
        m_btnAddVector.EnableWindow(FALSE);
        m_editTackingAngle.SetWindowText("");
        m_editTackingAngle.EnableWindow(FALSE);
        m_comboWindSpeed.EnableWindow(FALSE);
        m_pGraph->ShowPolar(&sailPlan, nullptr);
    }
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
    SAILPLAN* pSailPlan = m_aSailPlans[static_cast<std::size_t>(m_nCurSailPlan)].get();
    m_pGraph->ShowPolar(pSailPlan, m_comboWindSpeed.GetCount() > 0 ? CurrentPolar() : nullptr);
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
    pPolar->InsertVector(OrderedIndexForAngle(pPolar->m_aVectors, fAngle), fAngle, fSpeed);
    FillVectorList(*pPolar, m_listVectors);
    m_btnDeleteVector.EnableWindow(TRUE);
    m_pGraph->ShowPolar(m_aSailPlans[static_cast<std::size_t>(m_nCurSailPlan)].get(), pPolar);
}
