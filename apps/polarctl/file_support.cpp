#include "apps/polarctl/file_support.h"

#include <ostream>

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
