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
    // The smoothed polar is saved and shown before the user decides. It is shown from memory,
    // which holds what was just written: a reading of the file would start the history of
    // steps anew, and when the file could not be written it would take every edit away.
    const bool bSaved = SaveDataFile();
    if (m_bClosing) {
        return;
    }
    ShowAllData(nSailPlan, nWindSpeed);
    const bool bKeep = AfxMessageBox(TranslateText("Keep smoothed data?"), MB_YESNO) == IDYES;
    if (m_bClosing) {
        return;
    }
    CurrentSailPlan().EndSmooth(m_nCurWindSpeed, !bKeep);
    if (!bKeep) {
        if (bSaved) {
            SaveDataFile();
        }
        ShowAllData(m_comboSailPlan.GetCurSel(), m_comboWindSpeed.GetCurSel());
    }
}
