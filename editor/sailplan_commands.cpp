// Adding and deleting sail plans.
#include <cmath>

#include "data/invalid_argument.h"
#include "data/text_encoding.h"
#include "editor/fill_helpers.h"
#include "editor/new_sailplan_dialog.h"
#include "editor/polar_dialog.h"
#include "editor/text_values.h"
#include "translation/string_translator.h"

void Cpolar::OnAddSailPlan() {
    CNewSailplanDlg dialog(this);
    if (dialog.GetTemplate() == nullptr || dialog.DoModal() != IDOK) {
        return;
    }
    ++m_nSailPlanCount;
    m_editTackingAngle.EnableWindow(FALSE);
    m_btnDeleteWindSpeed.EnableWindow(FALSE);
    const std::string strName = WithoutCommas(dialog.m_strSailPlanName);
    m_comboSailPlan.InsertString(0, DecodeForDisplay(strName));
    m_comboSailPlan.SetCurSel(0);
    m_nCurSailPlan = 0;
    m_aSailPlans.insert(m_aSailPlans.begin(), std::make_unique<SAILPLAN>(strName));
    m_listVectors.DeleteAllItems();
    m_comboWindSpeed.ResetContent();
    m_editTackingAngle.SetWindowText("");
    m_strReadout.clear();
    // The window's own title, as when it opened: one title in every state.
    m_strCaption = m_pDialogTemplate->strCaption;
    UpdateTitle(false);
    m_pGraph->ShowPolar(m_aSailPlans.front().get(), nullptr);

    // The band, summed in single precision; a last polar within 0.5 of the maximum is made
    // at the sum, not at the maximum.
    const float t = dialog.m_fTackingAngle;
    float c = dialog.m_fMinimum;
    while (c < dialog.m_fMaximum) {
        AddWindSpeedPolar(c, t);
        c = c + dialog.m_fInterval;
    }
    const float d = std::fabs(c - dialog.m_fMaximum);
    if (d < 0.5f) {
        AddWindSpeedPolar(c, t);
    }
}

void Cpolar::OnDeleteSailPlan() {
    if (m_comboSailPlan.GetCount() <= 1) {
        return;  // the last sail plan stays
    }
    int a = m_comboSailPlan.GetCurSel();
    if (a < 0) {
        a = m_nCurSailPlan;
    }
    CheckIndex(a, m_aSailPlans.size(), "sail plan");
    const int nNext = a - 1 >= 0 ? a - 1 : a + 1;
    m_comboSailPlan.SetCurSel(nNext);
    ShowSailPlan(nNext);
    m_comboSailPlan.DeleteString(a);
    m_nCurSailPlan = m_comboSailPlan.GetCurSel();
    m_aSailPlans[static_cast<std::size_t>(a)]->RemoveAllPolars();
    m_aSailPlans.erase(m_aSailPlans.begin() + a);
    SAILPLAN& sailPlan = CurrentSailPlan();
    PERF_POLAR* pPolar = m_nCurWindSpeed < sailPlan.GetPolarCount()
                             ? sailPlan.m_aPolars[static_cast<std::size_t>(m_nCurWindSpeed)].get()
                             : nullptr;
    m_pGraph->ShowPolar(&sailPlan, pPolar);
}
