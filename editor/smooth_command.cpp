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
    // The result is shown from memory and nothing is written: until the user saves, the file
    // keeps what it held, and a No, a Close or an undo loses nothing of it.
    ShowAllData(nSailPlan, nWindSpeed);
    const bool bKeep =
        !m_bClosing && AfxMessageBox(TranslateText("Keep smoothed data?"), MB_YESNO) == IDYES;
    // The measured points go back (or are released) whatever happens, also when the editor
    // was closed while the question was open.
    CurrentSailPlan().EndSmooth(m_nCurWindSpeed, !bKeep);
    if (!bKeep && !m_bClosing) {
        ShowAllData(m_comboSailPlan.GetCurSel(), m_comboWindSpeed.GetCurSel());
    }
}
