// Reading and writing the editor's data file, and what guards it against losing data.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>

#include "data/polar_file.h"
#include "editor/polar_dialog.h"
#include "editor/text_values.h"
#include "framework/interaction.h"

namespace {

// Creates a file that does not exist yet; an existing one, readable or not, is never emptied.
void CreateIfMissing(const std::string& strPath) {
    const int fd = ::open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::close(fd);
    }
}

std::string Place(const PolarFileProblem& problem) {
    return "line " + std::to_string(problem.nLine) + ", column " + std::to_string(problem.nColumn);
}

}  // namespace

void Cpolar::ReadDataFile() {
    m_nSailPlanCount = 0;
    PolarFileContents contents;
    if (const IoStatus status = LoadPolarFile(m_strDataFile, contents); !status.Ok()) {
        if (status.nErrno == ENOENT) {
            CreateIfMissing(m_strDataFile);
            m_strUnreadable.reset();
            m_readStop.reset();
            return;
        }
        // What the file holds is unknown: it must not be replaced by what the editor shows.
        m_strUnreadable = status.strError;
        Tell("The data file " + m_strDataFile + " could not be read (" + status.strError +
             ").\nThe polars it holds are not shown, and the editor will not save over it.");
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
    m_readStop = contents.stop;
    if (contents.stop) {
        // A save would drop what could not be read: the user has to know before.
        Tell("The data file " + m_strDataFile + " could not be read completely: " +
             Place(*contents.stop) + ": " + contents.stop->strMessage +
             ".\nOnly what comes before it was loaded. Saving would drop the rest; the editor "
             "asks before it does.");
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
        Tell("The polars were not saved: the data file " + strPath +
             " could not be read when it was opened (" + *m_strUnreadable +
             "), and saving would replace what it holds.");
        return false;
    }
    if (const IoStatus status = CheckMayReplace(strPath); !status.Ok()) {
        Tell("The polars were not saved: " + status.strError + ".");
        return false;
    }
    if (m_readStop) {
        const std::string strQuestion =
            "The data file " + strPath + " was read only up to " + Place(*m_readStop) + " (" +
            m_readStop->strMessage +
            ").\nSaving replaces it with what the editor shows: " + "everything in the file from " +
            Place(*m_readStop) + " on is dropped.\n\n" +
            "Replace the file? A copy of it is kept as " + FreeCopyName(strPath) + ".";
        if (Tell(strQuestion, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) {
            return false;
        }
        std::string strCopy;
        if (const IoStatus status = KeepCopyBeside(strPath, strCopy); !status.Ok()) {
            Tell("The polars were not saved, since no copy of the file could be kept: " +
                 status.strError + ".");
            return false;
        }
    }
    PolarFileOmissions omitted;
    const std::string strText = FormatPolarFile(m_aSailPlans, &omitted);
    if (!omitted.Empty()) {
        Tell(DescribeOmissions(omitted), MB_OK);
    }
    // With no sail plan at all the file keeps its content.
    if (!m_aSailPlans.empty()) {
        if (const IoStatus status = WriteFileAtomically(strPath, strText); !status.Ok()) {
            Tell("The polars could not be saved: " + status.strError + ".");
            return false;
        }
    }
    m_readStop.reset();
    m_strSavedSnapshot = ContentOfSailPlans(m_aSailPlans);
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
