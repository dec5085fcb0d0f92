// The three functions a host calls; the library exports nothing else.
#include <QApplication>
#include <new>

#include "editor/polar_dialog.h"
#include "host/module_globals.h"
#include "polar/polar.h"

extern "C" {

__attribute__((visibility("default"))) bool polar(HWND hHostWnd, const char* pszDataFile,
                                                  COLORREF crGrid, COLORREF crBackground,
                                                  COLORREF crCurve, COLORREF crTackingSector,
                                                  COLORREF crOtherPolars, int nLanguage,
                                                  int* pOpenFlag, HWND* pDialogHandle) {
    // The editor lives in the host's application and event loop; it never makes its own.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
        pszDataFile == nullptr) {
        return false;
    }
    Cpolar* pEditor = new (std::nothrow)
        Cpolar(hHostWnd, pszDataFile, crGrid, crBackground, crCurve, crTackingSector, crOtherPolars,
               nLanguage, pOpenFlag, pDialogHandle);
    g_pPolarDlg = pEditor;
    if (pEditor == nullptr) {
        return false;
    }
    pEditor->CreateIndirect(pEditor->m_pDialogTemplate, nullptr);
    pEditor->ShowWindow(SW_SHOW);
    return true;
}

__attribute__((visibility("default"))) void reload_polar() {
    if (g_pPolarDlg != nullptr && g_pHostOpenFlag != nullptr && *g_pHostOpenFlag != 0) {
        g_pPolarDlg->ReadDataFile();
    }
}

__attribute__((visibility("default"))) bool close_polar() {
    if (g_pHostOpenFlag != nullptr && *g_pHostOpenFlag == 1) {
        delete g_pPolarDlg;
        g_pPolarDlg = nullptr;
    }
    return false;
}

}  // extern "C"
