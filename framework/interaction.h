#pragma once

#include <memory>
#include <string>

#include "framework/win_defs.h"

class QFont;
class QWidget;
class CWnd;

// What a file dialog is asked for: to open a file or to save one (a save dialog has a Save
// button and asks before it replaces a file), its title (empty: the desktop's own), a filter in
// the platform's "Name (*.ext)|*.ext||" form, a default extension appended to a name without
// one, and whether new names are allowed.
struct FileDialogRequest {
    bool bOpen = true;
    std::string strTitle;
    std::string strDefaultExt;
    std::string strFileName;
    std::string strFilter;
    bool bAllowNewNames = true;
};

// The question before unsaved changes would go, as desktops ask it: Save (answered IDYES),
// Discard (IDNO) or Cancel (IDCANCEL, also Esc and a box closed any other way); Save is the
// default button.
constexpr UINT MB_SAVEDISCARDCANCEL = 0x7;
// The question before a file changed by another program would be replaced: Overwrite (answered
// IDYES), Reload and discard my changes (IDNO) or Cancel (IDCANCEL, also Esc and a box closed
// any other way); Cancel is the default button, so that a hasty Enter loses nothing.
constexpr UINT MB_OVERWRITERELOADCANCEL = 0x8;

// Every message box and file dialog passes through this service: real dialogs in the
// application, scripted answers in tests.
class Interaction {
  public:
    virtual ~Interaction() = default;
    // Returns IDOK, IDYES, IDNO or IDCANCEL.
    virtual int MessageBox(QWidget* pParent, const std::string& strText,
                           const std::string& strCaption, UINT nType) = 0;
    // Returns false when the user cancels; strPath receives the chosen file.
    virtual bool ChooseFile(QWidget* pParent, const FileDialogRequest& request,
                            std::string& strPath) = 0;
    // Opens a document (a help page) in the desktop's viewer; false when that failed.
    virtual bool OpenDocument(const std::string& strPath) = 0;
};

Interaction& GetInteraction();
// Installs a service and returns the previous one.
std::unique_ptr<Interaction> SetInteraction(std::unique_ptr<Interaction> pInteraction);

// The font of the dialogs' templates at their usual size: message boxes, file dialogs and tool
// tips are shown in it, as the dialogs are, not in the desktop's font.
QFont StandardDialogFont();

// The framework's message box, owned by the active window.
int AfxMessageBox(const std::string& strText, UINT nType = MB_OK);

// The platform's common file dialog.
class CFileDialog {
  public:
    CFileDialog(bool bOpenFileDialog, const char* pszDefExt = nullptr,
                const char* pszFileName = nullptr, DWORD dwFlags = 0,
                const char* pszFilter = nullptr, CWnd* pParentWnd = nullptr);
    int DoModal();
    std::string GetPathName() const { return m_strPath; }
    void SetTitle(const std::string& strTitle) { m_request.strTitle = strTitle; }

  private:
    FileDialogRequest m_request;
    CWnd* m_pParentWnd;
    std::string m_strPath;
};

// Appends the default extension to a file name that has none.
std::string WithDefaultExtension(const std::string& strPath, const std::string& strDefaultExt);
// "Polar Files (*.ppd)|*.ppd||" as Qt's "Polar Files (*.ppd)".
std::string QtFilterFromPlatformFilter(const std::string& strFilter);
