// Reading and writing the editor's data file.
#include <fcntl.h>
#include <unistd.h>

#include "data/polar_file.h"
#include "editor/polar_dialog.h"
#include "framework/interaction.h"

namespace {

// Creates a file that does not exist yet; an existing one, readable or not, is never emptied.
void CreateIfMissing(const std::string& strPath) {
    const int fd = ::open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::close(fd);
    }
}

}  // namespace

void Cpolar::ReadDataFile() {
    m_nSailPlanCount = 0;
    PolarFileContents contents;
    if (!LoadPolarFile(m_strDataFile, contents).Ok()) {
        CreateIfMissing(m_strDataFile);
        return;
    }
    // The diagram must not keep pointers into the records about to go.
    if (m_pGraph != nullptr) {
        m_pGraph->ShowPolar(nullptr, nullptr);
    }
    m_aSailPlans = std::move(contents.aSailPlans);
    m_nSailPlanCount = static_cast<int>(m_aSailPlans.size());
    if (contents.stop) {
        // A save would drop what could not be read: the user has to know before.
        GetInteraction().MessageBox(
            m_hWnd,
            "The data file " + m_strDataFile + " could not be read completely: line " +
                std::to_string(contents.stop->nLine) + ", column " +
                std::to_string(contents.stop->nColumn) + ": " + contents.stop->strMessage +
                ".\nOnly what comes before it was loaded; saving will write only that.",
            "Polar Diagram", MB_OK | MB_ICONEXCLAMATION);
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
