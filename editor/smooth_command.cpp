// "Smooth": the current polar through a least-squares polynomial, shown, then kept or put back.
#include <new>

#include "editor/polar_dialog.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"
#include "smoothing/polar_smoothing.h"

void Cpolar::OnSmooth() {
    SAILPLAN& sailPlan = CurrentSailPlan();
    try {
        sailPlan.SmoothPolar(m_nCurWindSpeed);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(TranslateText("Error in polynomial regression function!"), MB_OK);
    }
    const int nSailPlan = m_comboSailPlan.GetCurSel();
    const int nWindSpeed = m_comboWindSpeed.GetCurSel();
    // The smoothed polar is saved and shown before the user decides. When it could not be
    // saved, the file does not hold it, so the editor shows it from memory instead of
    // reading back a file that would take every edit away.
    const bool bSaved = SaveDataFile();
    if (m_bClosing) {
        return;
    }
    if (bSaved) {
        RefreshAll();
    } else {
        ShowAllData(nSailPlan, nWindSpeed);
    }
    const bool bKeep = AfxMessageBox(TranslateText("Keep smoothed data?"), MB_YESNO) == IDYES;
    if (m_bClosing) {
        return;
    }
    CurrentSailPlan().EndSmooth(m_nCurWindSpeed, !bKeep);
    if (!bKeep) {
        if (bSaved && SaveDataFile()) {
            RefreshAll();
        } else {
            ShowAllData(m_comboSailPlan.GetCurSel(), m_comboWindSpeed.GetCurSel());
        }
    }
}
