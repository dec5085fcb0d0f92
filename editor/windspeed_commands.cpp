// Adding and deleting wind speeds, and keeping combo 1013 and the polars in one order.
#include "data/invalid_argument.h"
#include "editor/fill_helpers.h"
#include "editor/new_windspeed_dialog.h"
#include "editor/polar_dialog.h"
#include "editor/text_values.h"

void Cpolar::OnAddWindSpeed() {
    CNewWindspeedDlg dialog(this);
    if (dialog.GetTemplate() == nullptr || dialog.DoModal() != IDOK) {
        return;
    }
    AddWindSpeedPolar(dialog.m_fWindSpeed, dialog.m_fTackingAngle);
}

void Cpolar::AddWindSpeedPolar(float fWindSpeed, float fTackingAngle) {
    m_editTackingAngle.EnableWindow(TRUE);
    m_btnDeleteWindSpeed.EnableWindow(TRUE);
    m_btnAddVector.EnableWindow(TRUE);
    m_comboWindSpeed.EnableWindow(TRUE);
    m_comboWindSpeed.InsertString(0, FormatTwoDecimals(fWindSpeed));
    ResortWindSpeedEntry(0, fWindSpeed);
    m_comboWindSpeed.SetCurSel(m_nCurWindSpeed);
    m_editTackingAngle.SetWindowText(FormatTwoDecimals(fTackingAngle));
    SAILPLAN& sailPlan = CurrentSailPlan();
    sailPlan.InsertPolar(m_nCurWindSpeed, fWindSpeed, fTackingAngle);
    m_pGraph->ShowPolar(&sailPlan,
                        sailPlan.m_aPolars[static_cast<std::size_t>(m_nCurWindSpeed)].get());
    m_listVectors.DeleteAllItems();
}

void Cpolar::ResortWindSpeedEntry(int nEntry, float fWindSpeed) {
    const std::string strText = m_comboWindSpeed.GetLBText(nEntry);
    m_comboWindSpeed.DeleteString(nEntry);
    int nPlace = 0;
    while (nPlace < m_comboWindSpeed.GetCount() &&
           !(Atof(m_comboWindSpeed.GetLBText(nPlace)) >= fWindSpeed)) {
        ++nPlace;
    }
    m_comboWindSpeed.InsertString(nPlace, strText);
    m_comboWindSpeed.SetCurSel(nPlace);
    m_nCurWindSpeed = nPlace;
}

void Cpolar::OnDeleteWindSpeed() {
    if (m_comboWindSpeed.GetCount() <= 1) {
        return;  // the last polar of a sail plan stays
    }
    const int a = m_comboWindSpeed.GetCurSel();
    SAILPLAN& sailPlan = CurrentSailPlan();
    CheckIndex(a, sailPlan.m_aPolars.size(), "polar");
    const int nNext = a - 1 >= 0 ? a - 1 : a + 1;
    m_comboWindSpeed.SetCurSel(nNext);
    m_nCurWindSpeed = nNext;
    FillVectorList(sailPlan, nNext, m_listVectors);
    m_fTackingAngle = sailPlan.GetTackingAngle(nNext);
    UpdateData(FALSE);
    m_btnDeleteVector.EnableWindow(m_listVectors.GetItemCount() > 0);
    m_comboWindSpeed.DeleteString(a);
    m_nCurWindSpeed = m_comboWindSpeed.GetCurSel();
    sailPlan.RemovePolar(a);
    m_pGraph->ShowPolar(&sailPlan,
                        sailPlan.m_aPolars[static_cast<std::size_t>(m_nCurWindSpeed)].get());
}
