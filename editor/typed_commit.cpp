// Committing what was typed into the sail plan box, the wind speed box and the tacking angle.
#include "data/invalid_argument.h"
#include "data/text_encoding.h"
#include "editor/polar_dialog.h"
#include "editor/text_values.h"

void Cpolar::OnEditKillFocus() {
    OnOK();
}

void Cpolar::OnOK() {
    if (m_aSailPlans.empty() || m_bCommitting) {
        return;
    }
    struct Guard {
        bool& b;
        explicit Guard(bool& flag) : b(flag) { b = true; }
        ~Guard() { b = false; }
    } guard(m_bCommitting);
    if (m_comboWindSpeed.IsWindowEnabled()) {
        if (!UpdateData(TRUE)) {
            return;  // an invalid tacking angle blocks the whole commit
        }
        SAILPLAN& sailPlan = CurrentSailPlan();
        sailPlan.SetTackingAngle(m_nCurWindSpeed, m_fTackingAngle);
        m_pGraph->ShowPolar(&sailPlan, &sailPlan.Polar(m_nCurWindSpeed));
        const std::string strTyped = m_comboWindSpeed.GetWindowText();
        const float v = Atof(strTyped);
        sailPlan.SetWindSpeed(m_nCurWindSpeed, v);
        m_comboWindSpeed.DeleteString(m_nCurWindSpeed);
        m_comboWindSpeed.InsertString(m_nCurWindSpeed, strTyped);
        m_comboWindSpeed.SetCurSel(m_nCurWindSpeed);
        const int o = m_nCurWindSpeed;
        ResortWindSpeedEntry(o, v);
        sailPlan.MovePolar(o, v);
    }
    const std::string strName = WithoutCommas(m_comboSailPlan.GetWindowText());
    CurrentSailPlan().SetName(strName);
    m_comboSailPlan.DeleteString(m_nCurSailPlan);
    m_comboSailPlan.InsertString(m_nCurSailPlan, strName);
    m_comboSailPlan.SetCurSel(m_nCurSailPlan);
    if (m_comboWindSpeed.IsWindowEnabled()) {
        ResortSailPlanEntry(m_nCurSailPlan);
    }
}

void Cpolar::ResortSailPlanEntry(int nIndex) {
    CheckIndex(nIndex, m_aSailPlans.size(), "sail plan");
    std::unique_ptr<SAILPLAN> pSailPlan = std::move(m_aSailPlans[static_cast<std::size_t>(nIndex)]);
    const std::string strText = m_comboSailPlan.GetLBText(nIndex);
    m_comboSailPlan.DeleteString(nIndex);
    m_aSailPlans.erase(m_aSailPlans.begin() + nIndex);
    // The name's place by byte-wise comparison; only this entry moves.
    int nPlace = 0;
    while (nPlace < m_comboSailPlan.GetCount() && !(m_comboSailPlan.GetLBText(nPlace) >= strText)) {
        ++nPlace;
    }
    m_comboSailPlan.InsertString(nPlace, strText);
    m_aSailPlans.insert(m_aSailPlans.begin() + nPlace, std::move(pSailPlan));
    m_comboSailPlan.SetCurSel(nPlace);
    m_nCurSailPlan = nPlace;
}
