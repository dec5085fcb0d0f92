#include "apps/polarctl/file_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

bool IsStandardStream(const std::string& strPath) {
    return strPath == "-";
}

bool IsStandardOutput(const std::string& strTarget) {
    return IsStandardStream(strTarget) || OwnDescriptorNamedBy(strTarget) == STDOUT_FILENO;
}

std::ostream& ReportStream(const std::string& strTarget, std::ostream& out, std::ostream& err) {
    return IsStandardOutput(strTarget) ? err : out;
}

IoStatus ReadInput(const std::string& strPath, std::string& strContent) {
    if (IsStandardStream(strPath)) {
        return ReadWholeDescriptor(STDIN_FILENO, "standard input", strContent);
    }
    return ReadWholeFile(strPath, strContent);
}

bool ReadsStandardInputOnce(const std::vector<std::string>& aInputs, std::ostream& err) {
    if (std::count_if(aInputs.begin(), aInputs.end(), IsStandardStream) > 1) {
        err << "polarctl: standard input (-) can be read only once\n";
        return false;
    }
    return true;
}

bool LoadOrComplain(const std::string& strFile, PolarFileContents& contents, std::ostream& err) {
    IoStatus status;
    if (IsStandardStream(strFile)) {
        std::string strText;
        status = ReadInput(strFile, strText);
        contents = status.Ok() ? ParsePolarFile(strText) : PolarFileContents{};
    } else {
        status = LoadPolarFile(strFile, contents);
    }
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
                 std::ostream& out, std::ostream& err) {
    if (IsStandardOutput(strTarget)) {
        // Through the stream, so that it keeps its order with what was printed before.
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        return static_cast<bool>(out.flush());
    }
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

bool CheckOutput(const std::string& strTarget, std::ostream& err) {
    if (IsStandardOutput(strTarget)) {
        return true;
    }
    if (const IoStatus status = CheckWriteTarget(strTarget); !status.Ok()) {
        err << "polarctl: " << status.strError << "\n";
        return false;
    }
    return true;
}

bool CheckRewritable(const std::string& strFile, const char* pszWhat, std::ostream& err) {
    if (const IoStatus status = CheckRegularFile(strFile); !status.Ok()) {
        err << "polarctl: " << status.strError << "; " << pszWhat
            << " reads it and writes it back, which needs a regular file\n";
        return false;
    }
    return true;
}

bool DataFileExists(const std::string& strFile) {
    struct stat st {};
    return ::stat(strFile.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
