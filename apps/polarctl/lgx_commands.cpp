#include <ostream>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "apps/polarctl/polarctl.h"
#include "data/file_io.h"
#include "data/text_encoding.h"
#include "translation/language_file.h"

namespace {

bool HasLineBreakOrTab(const std::string& s) {
    return s.find_first_of("\t\r\n") != std::string::npos;
}

int DumpLanguageFile(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& strFile = parsed.aPositional[0];
    std::string bytes;
    const IoStatus status = ReadInput(strFile, bytes);
    if (!status.Ok()) {
        err << "polarctl: " << status.strError << "\n";
        return kExitInputProblem;
    }
    std::size_t nUsed = 0;
    const LanguagePairs aPairs = DecodeLanguageFile(bytes, &nUsed);
    bool bProblems = false;
    for (std::size_t i = 0; i < aPairs.size(); ++i) {
        const auto& [strKey, strValue] = aPairs[i];
        if (HasLineBreakOrTab(strKey) || HasLineBreakOrTab(strValue)) {
            err << strFile << ": pair " << (i + 1)
                << " holds a tab or line break, which a key<TAB>value line cannot show; left out\n";
            bProblems = true;
            continue;
        }
        out << DecodeForDisplay(strKey) << "\t" << DecodeForDisplay(strValue) << "\n";
    }
    if (nUsed < bytes.size()) {
        err << strFile << ": the last " << (bytes.size() - nUsed)
            << " bytes are not a complete pair (a string without its end, a key without value, "
               "or a string over "
            << (kMaxStoredLanguageString - 1) << " bytes); the editor ignores them\n";
        bProblems = true;
    }
    return bProblems ? kExitInputProblem : kExitOk;
}

int BuildLanguageFile(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& strTsv = parsed.aPositional[0];
    const auto strTarget = parsed.Option("-o");
    if (!strTarget) {
        err << "polarctl: lgx build needs -o FILE.lgx\n";
        return kExitUsage;
    }
    if (!CheckOutput(*strTarget, err)) {
        return kExitInputProblem;
    }
    std::string text;
    const IoStatus status = ReadInput(strTsv, text);
    if (!status.Ok()) {
        err << "polarctl: " << status.strError << "\n";
        return kExitInputProblem;
    }
    LanguagePairs aPairs;
    std::size_t nLine = 0;
    std::size_t nStart = 0;
    while (nStart < text.size()) {
        std::size_t nEnd = text.find('\n', nStart);
        if (nEnd == std::string::npos) {
            nEnd = text.size();
        }
        std::string strLine = text.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        ++nLine;
        if (!strLine.empty() && strLine.back() == '\r') {
            strLine.pop_back();
        }
        if (strLine.empty()) {
            continue;
        }
        const std::size_t nTab = strLine.find('\t');
        if (nTab == std::string::npos || strLine.find('\t', nTab + 1) != std::string::npos) {
            err << strTsv << ":" << nLine << ": expected key<TAB>value (exactly one tab)\n";
            return kExitInputProblem;
        }
        aPairs.emplace_back(strLine.substr(0, nTab), strLine.substr(nTab + 1));
    }
    std::string bytes;
    std::string strError;
    if (!EncodeLanguageFile(aPairs, bytes, strError)) {
        err << strTsv << ": " << strError << "\n";
        return kExitInputProblem;
    }
    if (!WriteOutput(*strTarget, bytes, parsed.Flag("--force"), out, err)) {
        return kExitInputProblem;
    }
    ReportStream(*strTarget, out, err)
        << "wrote " << aPairs.size() << " pairs to " << *strTarget << "\n";
    return kExitOk;
}

}  // namespace

int RunLanguageFileDump(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    return DumpLanguageFile(parsed, out, err);
}

int RunLanguageFileBuild(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    return BuildLanguageFile(parsed, out, err);
}
