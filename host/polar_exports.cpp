// The three functions a host calls; the library exports nothing else. No exception leaves
// them: a host written in C cannot catch one.
#include <QApplication>
#include <cstdio>
#include <exception>
#include <new>

#include "editor/open_editor.h"
#include "editor/polar_dialog.h"
#include "framework/handler_scope.h"
#include "polar/polar.h"

namespace {

void Report(const char* pszWhere, const char* pszWhat) {
    std::fprintf(stderr, "libpolar: %s failed: %s\n", pszWhere, pszWhat);
}

}  // namespace

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
    // The editor's code runs from here on: a close_polar from inside it waits for its end.
    const handler_scope::Scope scope;
    try {
        Cpolar* pEditor = new (std::nothrow)
            Cpolar(hHostWnd, pszDataFile, crGrid, crBackground, crCurve, crTackingSector,
                   crOtherPolars, nLanguage, pOpenFlag, pDialogHandle);
        if (pEditor == nullptr) {
            ForgetOpenEditor();
            return false;
        }
        // The host may have closed it while a message of its reading was shown.
        if (pEditor->IsClosing()) {
            return false;
        }
        pEditor->CreateIndirect(pEditor->m_pDialogTemplate, nullptr);
        pEditor->ShowWindow(SW_SHOW);
        return true;
    } catch (const std::exception& e) {
        Report("polar", e.what());
    } catch (...) {
        Report("polar", "unknown error");
    }
    return false;
}

__attribute__((visibility("default"))) void reload_polar() {
    Cpolar* const pOpen = OpenEditor();
    if (pOpen != nullptr && OpenEditorFlag() != nullptr && *OpenEditorFlag() != 0) {
        // Called while the editor's own code runs (a message box of it is open, or from the
        // host's notification handler): the reload follows when that code has returned.
        const bool bBusy = handler_scope::Active();
        const handler_scope::Scope scope;
        try {
            if (bBusy) {
                pOpen->ReloadWhenIdle();
            } else {
                pOpen->ReloadFromHost();
            }
        } catch (const std::exception& e) {
            Report("reload_polar", e.what());
        } catch (...) {
            Report("reload_polar", "unknown error");
        }
    }
}

__attribute__((visibility("default"))) bool close_polar() {
    if (OpenEditorFlag() != nullptr && *OpenEditorFlag() == 1 && OpenEditor() != nullptr) {
        try {
            Cpolar* pEditor = OpenEditor();
            ForgetOpenEditor();
            pEditor->CloseFromHost();
        } catch (const std::exception& e) {
            Report("close_polar", e.what());
        } catch (...) {
            Report("close_polar", "unknown error");
        }
    }
    return false;
}

}  // extern "C"
