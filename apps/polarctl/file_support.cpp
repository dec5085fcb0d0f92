#include "apps/polarctl/file_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ostream>

#include "apps/polarctl/command_line.h"
#include "data/file_identity.h"
#include "data/text_encoding.h"

namespace {

// The data files this run read, as it read them.
struct FileAsRead {
    std::string strPath;
    FileIdentity identity;
};
std::vector<FileAsRead>& FilesAsRead() {
    static std::vector<FileAsRead> aFiles;
    return aFiles;
}

bool IsRegularFile(const std::string& strPath, struct stat& st) {
    return ::stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// What this run read of the file at strTarget, if it read it.
const FileIdentity* ReadBefore(const std::string& strTarget) {
    struct stat st {};
    const bool bRegular = IsRegularFile(strTarget, st);
    for (const auto& file : FilesAsRead()) {
        if (file.strPath == strTarget ||
            (bRegular && file.identity.nDevice == static_cast<std::uint64_t>(st.st_dev) &&
             file.identity.nInode == static_cast<std::uint64_t>(st.st_ino))) {
            return &file.identity;
        }
    }
    return nullptr;
}

}  // namespace

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
    } else if (struct stat st{}; IsRegularFile(strFile, st)) {
        FileIdentity identity;
        status = LoadPolarFile(strFile, contents, &identity);
        if (status.Ok()) {
            FilesAsRead().push_back({strFile, identity});
        }
    } else {
        status = LoadPolarFile(strFile, contents);
    }
    if (!status.Ok()) {
        err << "polarctl: " << status.strError << "\n";
        return false;
    }
    return true;
}

void ForgetFilesRead() {
    FilesAsRead().clear();
}

bool LockForRewrite(const std::string& strFile, const std::string& strTarget, FileLock& lock,
                    std::ostream& err) {
    struct stat file {};
    struct stat target {};
    if (IsStandardStream(strFile) || !IsRegularFile(strFile, file) ||
        !IsRegularFile(strTarget, target) || file.st_dev != target.st_dev ||
        file.st_ino != target.st_ino) {
        return true;
    }
    if (const IoStatus status = lock.Acquire(strFile); !status.Ok()) {
        err << "polarctl: " << status.strError << "; nothing written\n";
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
    if (const FileIdentity* pAsRead = ReadBefore(strTarget); pAsRead != nullptr) {
        FileChange change = FileChange::Unchanged;
        if (const IoStatus status = CompareWithFile(strTarget, *pAsRead, change); !status.Ok()) {
            err << "polarctl: " << status.strError << "; nothing written\n";
            return false;
        }
        if (change == FileChange::Changed) {
            err << "polarctl: " << strTarget
                << " was changed by another program since polarctl read it; nothing written "
                   "(run the command again to work on the new content)\n";
            return false;
        }
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
namespace {

std::string AsciiLower(std::string strText) {
    for (char& c : strText) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return strText;
}

// "0 \"Main\", 2 \"MAIN\"": the sail plans of those indexes as the messages show them.
std::string ListSailPlans(const SailPlanArray& aSailPlans, const std::vector<std::size_t>& aWhich) {
    std::string strList;
    for (const std::size_t n : aWhich) {
        if (!strList.empty()) {
            strList += ", ";
        }
        strList += std::to_string(n);
        strList += " \"";
        strList += DecodeForDisplay(aSailPlans[n]->m_strName);
        strList += '"';
    }
    return strList;
}

}  // namespace

std::optional<std::size_t> ChooseSailPlan(const SailPlanArray& aSailPlans,
                                          const std::string& strWhich, const std::string& strFile,
                                          std::string& strError) {
    if (const auto n = ParseIndex(strWhich);
        n && static_cast<std::size_t>(*n) < aSailPlans.size()) {
        return static_cast<std::size_t>(*n);
    }
    std::vector<std::size_t> aAll;
    std::vector<std::size_t> aAnyCase;
    const std::string strLower = AsciiLower(strWhich);
    for (std::size_t i = 0; i < aSailPlans.size(); ++i) {
        const std::string& strName = aSailPlans[i]->m_strName;
        const std::string strShown = DecodeForDisplay(strName);
        if (strName == strWhich || strShown == strWhich) {
            return i;
        }
        if (AsciiLower(strName) == strLower || AsciiLower(strShown) == strLower) {
            aAnyCase.push_back(i);
        }
        aAll.push_back(i);
    }
    if (aAnyCase.size() == 1) {
        return aAnyCase.front();
    }
    strError = strFile;
    if (aAnyCase.empty()) {
        strError += ": no sail plan ";
        if (ParseIndex(strWhich)) {
            strError += strWhich;
        } else {
            strError += '"';
            strError += DecodeForDisplay(strWhich);
            strError += '"';
        }
        if (aAll.empty()) {
            strError += " (the file has none)";
        } else {
            strError += " (its sail plans: ";
            strError += ListSailPlans(aSailPlans, aAll);
            strError += ")";
        }
    } else {
        strError += ": \"";
        strError += DecodeForDisplay(strWhich);
        strError += "\" matches several sail plans without regard to case: ";
        strError += ListSailPlans(aSailPlans, aAnyCase);
        strError += "; give the exact name or the index";
    }
    return std::nullopt;
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
