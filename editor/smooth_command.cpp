// "Smooth": the current polar through a least-squares polynomial, shown, then kept or put back.
#include <new>

#include "editor/polar_dialog.h"
#include "framework/interaction.h"
#include "smoothing/polar_smoothing.h"

void Cpolar::OnSmooth() {
    SAILPLAN& sailPlan = CurrentSailPlan();
    try {
        sailPlan.SmoothPolar(m_nCurWindSpeed);
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Error in polynomial regression function!", MB_OK);
    }
    // The smoothed polar is saved and shown before the user decides.
    WriteDataFileOrTell();
    RefreshAll();
    const bool bKeep = AfxMessageBox("Keep smoothed data?", MB_YESNO) == IDYES;
    CurrentSailPlan().EndSmooth(m_nCurWindSpeed, !bKeep);
    if (!bKeep) {
        WriteDataFileOrTell();
        RefreshAll();
    }
}
