// Reading and writing the editor's data file, and what guards it against losing data.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>

#include "data/file_identity.h"
#include "data/file_lock.h"
#include "data/number_text.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "editor/polar_dialog.h"
#include "editor/text_values.h"
#include "framework/interaction.h"
#include "framework/text_translation.h"

namespace {

// Creates a file that does not exist yet; an existing one, readable or not, is never emptied.
// True when it created it.
bool CreateIfMissing(const std::string& strPath) {
    const int fd = ::open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return false;
}

// The reason alone, for a sentence that names the file already.
std::string Reason(const IoStatus& status, const std::string& strPath) {
    const std::string strPrefix = strPath + ": ";
    return status.strError.rfind(strPrefix, 0) == 0 ? status.strError.substr(strPrefix.size())
                                                    : status.strError;
}

}  // namespace

void Cpolar::ReadDataFile() {
    m_nSailPlanCount = 0;
    m_fileAsRead = {};
    PolarFileContents contents;
    // Only a regular file holds polars: a FIFO or a device would hang the reading or never
    // end, and a save must not replace it, nor create the file a dangling link names.
    IoStatus status = CheckRegularFile(m_strDataFile);
    if (status.Ok()) {
        status = LoadPolarFile(m_strDataFile, contents, &m_fileAsRead);
    } else {
        status.nErrno = 0;
    }
    if (!status.Ok()) {
        if (status.nErrno == ENOENT) {
            if (CreateIfMissing(m_strDataFile)) {
                m_fileAsRead = IdentityOfWritten(m_strDataFile, "");
            }
            m_strUnreadable.reset();
            m_readStop.reset();
            return;
        }
        // What the file holds is unknown: it must not be replaced by what the editor shows.
        m_strUnreadable = Reason(status, m_strDataFile);
        Tell(FormatText("The data file %1 could not be read (%2).",
                        {m_strDataFile, *m_strUnreadable}) +
             "\n" +
             TranslateText("The polars it holds are not shown, and the editor will not save "
                           "over it."));
        return;
    }
    m_strUnreadable.reset();
    // The diagram must not keep pointers into the records about to go.
    if (m_pGraph != nullptr) {
        m_pGraph->ShowPolar(nullptr, nullptr);
    }
    m_aSailPlans = std::move(contents.aSailPlans);
    m_nSailPlanCount = static_cast<int>(m_aSailPlans.size());
    m_strSavedSnapshot = ContentOfSailPlans(m_aSailPlans);
    m_bDataMayHaveChanged = true;
    // The data come from outside now: nothing before can be taken back.
    m_history.Reset(m_aSailPlans);
    m_lastSelection = {};
    m_readStop = contents.stop;
    if (contents.stop) {
        // A save would drop what could not be read: the user has to know before.
        Tell(FormatText("The data file %1 could not be read completely: line %2, column %3: %4.",
                        {m_strDataFile, std::to_string(contents.stop->nLine),
                         std::to_string(contents.stop->nColumn), contents.stop->strMessage}) +
             "\n" +
             TranslateText("Only what comes before it was loaded. Saving would drop the rest; "
                           "the editor asks before it does."));
    }
    if (m_pGraph != nullptr) {
        SAILPLAN* pSailPlan = nullptr;
        PERF_POLAR* pPolar = nullptr;
        if (m_nCurSailPlan >= 0 && m_nCurSailPlan < static_cast<int>(m_aSailPlans.size())) {
            pSailPlan = m_aSailPlans[static_cast<std::size_t>(m_nCurSailPlan)].get();
            if (m_nCurWindSpeed >= 0 && m_nCurWindSpeed < pSailPlan->GetPolarCount()) {
                pPolar = pSailPlan->m_aPolars[static_cast<std::size_t>(m_nCurWindSpeed)].get();
            }
        }
        if (pPolar != nullptr) {
            m_pGraph->ShowPolar(pSailPlan, pPolar);
        }
    }
}

IoStatus Cpolar::WriteDataFile() {
    return SavePolarFile(m_pszDataFile != nullptr ? m_pszDataFile : m_strDataFile, m_aSailPlans);
}

bool Cpolar::SaveDataFile() {
    if (m_bClosing) {
        return false;
    }
    const std::string strPath = m_pszDataFile != nullptr ? m_pszDataFile : m_strDataFile;
    if (m_strUnreadable) {
        Tell(
            FormatText("The polars were not saved: the data file %1 could not be read when it "
                       "was opened (%2), and saving would replace what it holds.",
                       {strPath, *m_strUnreadable}));
        return false;
    }
    if (!CheckMayReplace(strPath).Ok()) {
        Tell(FormatText("The polars were not saved: the data file %1 is read-only.", {strPath}));
        return false;
    }
    if (m_readStop) {
        const std::initializer_list<std::string> values = {
            strPath, std::to_string(m_readStop->nLine), std::to_string(m_readStop->nColumn),
            m_readStop->strMessage, FreeCopyName(strPath)};
        const std::string strQuestion =
            FormatText("The data file %1 was read only up to line %2, column %3 (%4).", values) +
            "\n" +
            FormatText(
                "Saving replaces it with what the editor shows: everything in the file "
                "from line %2, column %3 on is dropped.",
                values) +
            "\n\n" + FormatText("Replace the file? A copy of it is kept as %5.", values);
        if (Tell(strQuestion, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) {
            return false;
        }
        std::string strCopy;
        if (const IoStatus status = KeepCopyBeside(strPath, strCopy); !status.Ok()) {
            Tell(
                FormatText("The polars were not saved, since no copy of the file could be kept: "
                           "%1.",
                           {status.strError}));
            return false;
        }
    }
    PolarFileOmissions omitted;
    const std::string strText = FormatPolarFile(m_aSailPlans, &omitted);
    if (!omitted.Empty()) {
        std::string strOmitted;
        for (const auto& strName : omitted.aEmptySailPlans) {
            strOmitted += FormatText("Sail plan \"%1\" has no wind speeds and is not saved.",
                                     {DecodeForDisplay(strName)}) +
                          "\n";
        }
        for (const auto& point : omitted.aUnwritablePoints) {
            strOmitted +=
                FormatText(
                    "The point at angle %1, speed %2 of sail plan \"%3\", wind "
                    "speed %4 is not saved: it would read back as the end of its "
                    "polar.",
                    {FormatFixed2(point.fAngle), FormatFixed2(point.fSpeed),
                     DecodeForDisplay(point.strSailPlan), FormatFixed2(point.fWindSpeed)}) +
                "\n";
        }
        Tell(strOmitted, MB_OK);
    }
    // With no sail plan at all the file keeps its content.
    if (!m_aSailPlans.empty()) {
        FileLock lock;
        if (!LockAndCheckUnchanged(strPath, lock)) {
            return false;
        }
        if (const IoStatus status =
                WriteFileAtomically(strPath, strText, ReadOnlyFiles::Refuse, SpecialFiles::Refuse);
            !status.Ok()) {
            Tell(FormatText("The polars could not be saved: %1.", {status.strError}));
            return false;
        }
        m_fileAsRead = IdentityOfWritten(strPath, strText);
    }
    m_readStop.reset();
    m_strSavedSnapshot = ContentOfSailPlans(m_aSailPlans);
    m_bDataMayHaveChanged = true;
    return true;
}

bool Cpolar::LockAndCheckUnchanged(const std::string& strPath, FileLock& lock) {
    if (const IoStatus status = lock.Acquire(strPath); !status.Ok()) {
        Tell(
            FormatText("The polars were not saved: %1 is being changed by another program "
                       "(it stayed locked for 2 seconds).",
                       {strPath}));
        return false;
    }
    FileChange change = FileChange::Unchanged;
    if (const IoStatus status = CompareWithFile(strPath, m_fileAsRead, change); !status.Ok()) {
        Tell(FormatText("The polars were not saved: %1.", {status.strError}));
        return false;
    }
    if (change != FileChange::Changed) {
        return true;  // a file removed meanwhile loses nothing when it is written again
    }
    // No lock is held while the user thinks: our other writers would wait in vain.
    lock.Release();
    const std::string strName = std::filesystem::path(strPath).filename().string();
    const int nAnswer =
        Tell(FormatText("%1 was changed by another program since it was opened.", {strName}),
             MB_OVERWRITERELOADCANCEL | MB_ICONEXCLAMATION);
    if (nAnswer == IDNO) {
        if (!m_bClosing) {
            ReloadKeepingSelection();
        }
        return false;
    }
    if (nAnswer != IDYES) {
        return false;
    }
    if (const IoStatus status = lock.Acquire(strPath); !status.Ok()) {
        Tell(
            FormatText("The polars were not saved: %1 is being changed by another program "
                       "(it stayed locked for 2 seconds).",
                       {strPath}));
        return false;
    }
    return true;
}

bool Cpolar::IsModified() {
    return ContentOfSailPlans(m_aSailPlans) != m_strSavedSnapshot || HasUncommittedText();
}

bool Cpolar::HasUncommittedText() {
    if (m_hWnd == nullptr || m_aSailPlans.empty()) {
        return false;
    }
    const int nSailPlan = m_comboSailPlan.GetCurSel();
    if (nSailPlan >= 0 && m_comboSailPlan.GetWindowText() != m_comboSailPlan.GetLBText(nSailPlan)) {
        return true;
    }
    if (!m_comboWindSpeed.IsWindowEnabled()) {
        return false;
    }
    const int nWindSpeed = m_comboWindSpeed.GetCurSel();
    if (nWindSpeed >= 0 &&
        m_comboWindSpeed.GetWindowText() != m_comboWindSpeed.GetLBText(nWindSpeed)) {
        return true;
    }
    const PERF_POLAR* pPolar = CurrentPolar();
    return pPolar != nullptr &&
           std::fabs(Atof(m_editTackingAngle.GetWindowText()) - pPolar->m_fTackingAngle) > 0.005f;
}
