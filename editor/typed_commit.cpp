// Committing what was typed into the sail plan box, the wind speed box and the tacking angle.
#include "data/invalid_argument.h"
#include "data/text_encoding.h"
#include "editor/fill_helpers.h"
#include "editor/polar_dialog.h"
#include "editor/text_values.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"

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
        // A wind speed that is no number would be stored as 0: refused like a tacking angle
        // that is none, with the entry's text put back; it blocks the whole commit.
        const std::string strTyped = m_comboWindSpeed.GetWindowText();
        float v = 0.0f;
        if (!ReadLeadingNumber(strTyped, v)) {
            GetInteraction().MessageBox(m_hWnd, TranslateText("Please enter a number."),
                                        TranslateText("Invalid entry"), MB_OK | MB_ICONEXCLAMATION);
            m_comboWindSpeed.SetWindowText(m_comboWindSpeed.GetLBText(m_nCurWindSpeed));
            m_comboWindSpeed.SetFocus();
            return;
        }
        if (!UpdateData(TRUE)) {
            return;  // an invalid tacking angle blocks the whole commit
        }
        SAILPLAN& sailPlan = CurrentSailPlan();
        sailPlan.SetTackingAngle(m_nCurWindSpeed, m_fTackingAngle);
        m_pGraph->ShowPolar(&sailPlan, &sailPlan.Polar(m_nCurWindSpeed));
        sailPlan.SetWindSpeed(m_nCurWindSpeed, v);
        m_comboWindSpeed.DeleteString(m_nCurWindSpeed);
        m_comboWindSpeed.InsertString(m_nCurWindSpeed, strTyped);
        m_comboWindSpeed.SetCurSel(m_nCurWindSpeed);
        const int o = m_nCurWindSpeed;
        ResortWindSpeedEntry(o, v);
        sailPlan.MovePolar(o, v);
    }
    // The stored name changes only when the user typed another one: a name read in another
    // encoding keeps its bytes, though the box shows it converted.
    const std::string strShown = WithoutCommas(m_comboSailPlan.GetWindowText());
    if (strShown != DisplayName(CurrentSailPlan())) {
        CurrentSailPlan().SetName(strShown);
    }
    m_comboSailPlan.DeleteString(m_nCurSailPlan);
    m_comboSailPlan.InsertString(m_nCurSailPlan, strShown);
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
