#include "apps/polarctl/file_support.h"

#include <ostream>

#include "apps/polarctl/command_line.h"
#include "data/text_encoding.h"

void PrintProblem(std::ostream& os, const std::string& strFile, const PolarFileProblem& problem,
                  const char* pszKind) {
    os << strFile << ":" << problem.nLine << ":" << problem.nColumn << ": " << pszKind << ": "
       << problem.strMessage << "\n";
}

bool PrintProblems(std::ostream& os, const std::string& strFile,
                   const PolarFileContents& contents) {
    for (const auto& warning : contents.aWarnings) {
        PrintProblem(os, strFile, warning, "warning");
    }
    if (contents.stop) {
        PrintProblem(os, strFile, *contents.stop, "error");
        os << strFile << ": the reading stopped here; the complete records before it are kept\n";
    }
    return !contents.aWarnings.empty() || contents.stop.has_value();
}

bool LoadOrComplain(const std::string& strFile, PolarFileContents& contents, std::ostream& err) {
    const IoStatus status = LoadPolarFile(strFile, contents);
    if (!status.Ok()) {
        err << "polarctl: " << status.strError << "\n";
        return false;
    }
    return true;
}

bool RefuseLossyWrite(const std::string& strFile, const PolarFileContents& contents, bool bForce,
                      std::ostream& err) {
    if (!contents.stop || bForce) {
        return false;
    }
    err << "polarctl: " << strFile
        << ": not written, since what follows the stop would be lost (--force writes the records "
           "read so far)\n";
    return true;
}

bool WriteOutput(const std::string& strTarget, std::string_view content, bool bForce,
                 std::ostream& err) {
    const IoStatus status = WriteFileAtomically(
        strTarget, content, bForce ? ReadOnlyFiles::Replace : ReadOnlyFiles::Refuse);
    if (status.Ok()) {
        return true;
    }
    err << "polarctl: " << status.strError;
    if (!bForce && !CheckMayReplace(strTarget).Ok()) {
        err << " (--force writes it all the same)";
    }
    err << "\n";
    return false;
}

// A sail plan by index ("2") or by name; -1 when there is none.
int FindSailPlan(const SailPlanArray& aSailPlans, const std::string& strWhich) {
    if (const auto n = ParseIndex(strWhich)) {
        return static_cast<std::size_t>(*n) < aSailPlans.size() ? *n : -1;
    }
    for (std::size_t i = 0; i < aSailPlans.size(); ++i) {
        if (aSailPlans[i]->m_strName == strWhich ||
            DecodeForDisplay(aSailPlans[i]->m_strName) == strWhich) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
