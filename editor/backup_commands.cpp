// "Backup" and "Restore": whole copies of the editor's data file.
#include <filesystem>

#include "data/file_io.h"
#include "editor/polar_dialog.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"

namespace {

constexpr const char* kFilter = "Polar Files (*.ppd)|*.ppd||";

// The current folder as it was when the command started, back at its end whatever happens.
class KeepCurrentFolder {
  public:
    KeepCurrentFolder() { m_path = std::filesystem::current_path(m_error); }
    ~KeepCurrentFolder() {
        if (!m_error) {
            std::error_code ec;
            std::filesystem::current_path(m_path, ec);
        }
    }
    KeepCurrentFolder(const KeepCurrentFolder&) = delete;
    KeepCurrentFolder& operator=(const KeepCurrentFolder&) = delete;

  private:
    std::filesystem::path m_path;
    std::error_code m_error;
};

// Asks for a polar file to write (bSave: a save dialog, which asks before it replaces a file)
// or to read; new names are allowed. Empty when the user cancels.
std::string ChoosePolarFile(CWnd* pParent, bool bSave, const std::string& strTitle) {
    const std::string strFilter = TranslateText(kFilter);
    CFileDialog dialog(!bSave, "ppd", nullptr, 0, strFilter.c_str(), pParent);
    dialog.SetTitle(strTitle);
    return dialog.DoModal() == IDOK ? dialog.GetPathName() : std::string();
}

}  // namespace

void Cpolar::OnBackup() {
    KeepCurrentFolder keep;
    const std::string strTarget = ChoosePolarFile(this, true, TranslateText("Back up the polars"));
    if (strTarget.empty()) {
        return;
    }
    // The editor's own data file, as last saved; only a regular file (a FIFO would hang the
    // reading). The copy may go to a FIFO or a device, written in place.
    IoStatus status = CheckRegularFile(m_strDataFile);
    if (status.Ok()) {
        status = CopyFileAtomically(m_strDataFile, strTarget);
    }
    if (!status.Ok()) {
        GetInteraction().MessageBox(m_hWnd, FormatText("The backup failed: %1", {status.strError}),
                                    TranslateText("Backup"), MB_OK | MB_ICONEXCLAMATION);
    }
}

void Cpolar::OnRestore() {
    // Restoring reads the file anew, which starts the history over: edits not saved would be
    // gone for good.
    if (!MayDiscardChanges(TranslateText("The polars have changes that are not saved.") + "\n" +
                           TranslateText("Restore a data file and discard them?"))) {
        return;
    }
    KeepCurrentFolder keep;
    const std::string strSource = ChoosePolarFile(this, false, TranslateText("Restore"));
    if (strSource.empty()) {
        return;  // nothing restored: the unsaved edits stay
    }
    if (m_strUnreadable) {
        GetInteraction().MessageBox(
            m_hWnd,
            FormatText("Nothing was restored: the data file %1 could not be read when it was "
                       "opened (%2), and restoring would replace it.",
                       {m_strDataFile, *m_strUnreadable}),
            TranslateText("Restore"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // A FIFO or a device chosen as the copy would hang the reading or never end.
    const IoStatus status = CopyFileAtomically(strSource, m_strDataFile, SpecialFiles::Refuse);
    if (!status.Ok()) {
        GetInteraction().MessageBox(m_hWnd, FormatText("The restore failed: %1", {status.strError}),
                                    TranslateText("Restore"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    RefreshAll();
}
