#include "framework/interaction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "framework/dialog.h"
#include "framework/text_translation.h"
#include "framework/wnd.h"

namespace {

QString ToQString(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The real dialogs of the application.
class DesktopInteraction : public Interaction {
  public:
    int MessageBox(QWidget* pParent, const std::string& strText, const std::string& strCaption,
                   UINT nType) override {
        QMessageBox box(pParent);
        box.setText(ToQString(strText));
        box.setWindowTitle(ToQString(strCaption));
        const bool bYesNo = (nType & 0xF) == MB_YESNO;
        const bool bSaveDiscard = (nType & 0xF) == MB_SAVEDISCARDCANCEL;
        if (bSaveDiscard) {
            box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Save);
            box.setEscapeButton(QMessageBox::Cancel);
            box.button(QMessageBox::Save)->setText(ToQString(TranslateText("&Save")));
            box.button(QMessageBox::Discard)->setText(ToQString(TranslateText("&Discard")));
            box.button(QMessageBox::Cancel)->setText(ToQString(TranslateText("Cancel")));
        } else if ((nType & 0xF) == MB_OVERWRITERELOADCANCEL) {
            QPushButton* pReload =
                box.addButton(ToQString(TranslateText("&Reload and discard my changes")),
                              QMessageBox::DestructiveRole);
            QPushButton* pOverwrite =
                box.addButton(ToQString(TranslateText("&Overwrite")), QMessageBox::AcceptRole);
            QPushButton* pCancel =
                box.addButton(ToQString(TranslateText("Cancel")), QMessageBox::RejectRole);
            box.setDefaultButton(pCancel);
            box.setEscapeButton(pCancel);
            if ((nType & 0xF0) == MB_ICONEXCLAMATION) {
                box.setIcon(QMessageBox::Warning);
            }
            ApplyDialogFont(&box, StandardDialogFont());
            box.exec();
            // Closed any other way (its owner going), nothing is decided: nothing is lost.
            return box.clickedButton() == pOverwrite ? IDYES
                   : box.clickedButton() == pReload  ? IDNO
                                                     : IDCANCEL;
        } else if (bYesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton((nType & MB_DEFBUTTON2) != 0 ? QMessageBox::No : QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            box.button(QMessageBox::Yes)->setText(ToQString(TranslateText("&Yes")));
            box.button(QMessageBox::No)->setText(ToQString(TranslateText("&No")));
        } else {
            box.setStandardButtons(QMessageBox::Ok);
            box.button(QMessageBox::Ok)->setText(ToQString(TranslateText("OK")));
        }
        if ((nType & 0xF0) == MB_ICONEXCLAMATION) {
            box.setIcon(QMessageBox::Warning);
        } else if ((nType & 0xF0) == MB_ICONQUESTION) {
            box.setIcon(QMessageBox::Question);
        }
        ApplyDialogFont(&box, StandardDialogFont());
        const int nResult = box.exec();
        if (bSaveDiscard) {
            // Closed any other way (its owner going), nothing is decided: nothing is lost.
            return nResult == QMessageBox::Save      ? IDYES
                   : nResult == QMessageBox::Discard ? IDNO
                                                     : IDCANCEL;
        }
        if (!bYesNo) {
            return IDOK;
        }
        // A question closed any other way (its owner going) is answered No.
        return nResult == QMessageBox::Yes ? IDYES : IDNO;
    }

    bool ChooseFile(QWidget* pParent, const FileDialogRequest& request,
                    std::string& strPath) override {
        QFileDialog dialog(pParent);
        dialog.setAcceptMode(request.bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        if (!request.strTitle.empty()) {
            dialog.setWindowTitle(ToQString(request.strTitle));
        }
        if (!request.bOpen) {
            dialog.setLabelText(QFileDialog::Accept, ToQString(TranslateText("&Save")));
        }
        dialog.setLabelText(QFileDialog::Reject, ToQString(TranslateText("Cancel")));
        dialog.setFileMode(request.bAllowNewNames ? QFileDialog::AnyFile
                                                  : QFileDialog::ExistingFile);
        dialog.setNameFilter(ToQString(QtFilterFromPlatformFilter(request.strFilter)));
        dialog.setDefaultSuffix(ToQString(request.strDefaultExt));
        if (!request.strFileName.empty()) {
            dialog.selectFile(ToQString(request.strFileName));
        }
        ApplyDialogFont(&dialog, StandardDialogFont());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return false;
        }
        strPath = WithDefaultExtension(dialog.selectedFiles().front().toStdString(),
                                       request.strDefaultExt);
        return true;
    }

    bool OpenDocument(const std::string& strPath) override {
        return QDesktopServices::openUrl(
            QUrl::fromLocalFile(QFileInfo(ToQString(strPath)).absoluteFilePath()));
    }
};

std::unique_ptr<Interaction>& Current() {
    static std::unique_ptr<Interaction> pInteraction = std::make_unique<DesktopInteraction>();
    return pInteraction;
}

}  // namespace

QFont StandardDialogFont() {
    DialogTemplate standard{};
    standard.nPointSize = 8;
    return DialogFont(standard);
}

Interaction& GetInteraction() {
    return *Current();
}

std::unique_ptr<Interaction> SetInteraction(std::unique_ptr<Interaction> pInteraction) {
    std::unique_ptr<Interaction> pOld = std::move(Current());
    Current() = pInteraction ? std::move(pInteraction) : std::make_unique<DesktopInteraction>();
    return pOld;
}

int AfxMessageBox(const std::string& strText, UINT nType) {
    return GetInteraction().MessageBox(QApplication::activeWindow(), strText,
                                       QApplication::applicationName().toStdString(), nType);
}

std::string WithDefaultExtension(const std::string& strPath, const std::string& strDefaultExt) {
    if (strDefaultExt.empty()) {
        return strPath;
    }
    const std::size_t nSlash = strPath.find_last_of('/');
    const std::size_t nDot = strPath.find_last_of('.');
    if (nDot != std::string::npos && (nSlash == std::string::npos || nDot > nSlash)) {
        return strPath;
    }
    return strPath + (strDefaultExt.front() == '.' ? "" : ".") + strDefaultExt;
}

std::string QtFilterFromPlatformFilter(const std::string& strFilter) {
    // Pairs of description and pattern separated by '|'; Qt takes the descriptions, which
    // already carry their patterns in brackets.
    std::string strResult;
    std::size_t nStart = 0;
    bool bDescription = true;
    while (nStart < strFilter.size()) {
        std::size_t nBar = strFilter.find('|', nStart);
        if (nBar == std::string::npos) {
            nBar = strFilter.size();
        }
        const std::string strPart = strFilter.substr(nStart, nBar - nStart);
        if (bDescription && !strPart.empty()) {
            strResult += (strResult.empty() ? "" : ";;") + strPart;
        }
        bDescription = !bDescription;
        nStart = nBar + 1;
    }
    return strResult;
}

CFileDialog::CFileDialog(bool bOpenFileDialog, const char* pszDefExt, const char* pszFileName,
                         DWORD /*dwFlags*/, const char* pszFilter, CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd) {
    m_request.bOpen = bOpenFileDialog;
    m_request.strDefaultExt = pszDefExt != nullptr ? pszDefExt : "";
    m_request.strFileName = pszFileName != nullptr ? pszFileName : "";
    m_request.strFilter = pszFilter != nullptr ? pszFilter : "";
}

int CFileDialog::DoModal() {
    QWidget* pParent =
        m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : QApplication::activeWindow();
    return GetInteraction().ChooseFile(pParent, m_request, m_strPath) ? IDOK : IDCANCEL;
}
