#include "editor/fill_helpers.h"

#include "data/number_text.h"
#include "data/text_encoding.h"

void FillWindSpeedCombo(const SAILPLAN& sailPlan, CComboBox& combo) {
    combo.ResetContent();
    for (const auto& pPolar : sailPlan.m_aPolars) {
        combo.AddString(FormatFixed2(pPolar->m_fWindSpeed));
    }
    combo.SetCurSel(0);
}

void FillVectorList(const SAILPLAN& sailPlan, int nPolar, CListCtrl& list) {
    list.DeleteAllItems();
    if (nPolar < 0 || nPolar >= sailPlan.GetPolarCount()) {
        return;
    }
    FillVectorList(*sailPlan.m_aPolars[static_cast<std::size_t>(nPolar)], list);
}

void FillVectorList(const PERF_POLAR& polar, CListCtrl& list) {
    list.DeleteAllItems();
    for (std::size_t i = 0; i < polar.m_aVectors.size(); ++i) {
        const int nRow =
            list.InsertItem(static_cast<int>(i), FormatFixed2(polar.m_aVectors[i]->m_fAngle));
        list.SetItemText(nRow, 1, FormatFixed2(polar.m_aVectors[i]->m_fSpeed));
    }
}

std::string DisplayName(const SAILPLAN& sailPlan) {
    return DecodeForDisplay(sailPlan.m_strName);
}
