#include <new>
#include <ostream>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "apps/polarctl/json_text.h"
#include "apps/polarctl/plausibility.h"
#include "apps/polarctl/polarctl.h"
#include "data/number_text.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "smoothing/polar_smoothing.h"

namespace {

struct Counts {
    std::size_t nPolars = 0;
    std::size_t nPoints = 0;
};

Counts CountRecords(const SailPlanArray& aSailPlans) {
    Counts counts;
    for (const auto& pSailPlan : aSailPlans) {
        counts.nPolars += pSailPlan->m_aPolars.size();
        for (const auto& pPolar : pSailPlan->m_aPolars) {
            counts.nPoints += pPolar->m_aVectors.size();
        }
    }
    return counts;
}

std::string Plural(std::size_t n, const char* pszOne, const char* pszMany) {
    return std::to_string(n) + " " + (n == 1 ? pszOne : pszMany);
}

std::string Quoted(const std::string& strName) {
    // Built by appending: GCC 12 at -O3 takes `"\"" + text + "\""` for an overlapping copy
    // (a false -Wrestrict).
    std::string strQuoted = "\"";
    strQuoted += DecodeForDisplay(strName);
    strQuoted += '"';
    return strQuoted;
}

std::vector<const SAILPLAN*> AllOf(const SailPlanArray& aSailPlans) {
    std::vector<const SAILPLAN*> all;
    for (const auto& p : aSailPlans) {
        all.push_back(p.get());
    }
    return all;
}

void NoteOrder(std::ostream& out, const SailPlanArray& aSailPlans) {
    for (const auto& pSailPlan : aSailPlans) {
        const auto& polars = pSailPlan->m_aPolars;
        if (polars.empty()) {
            out << "note: sail plan " << Quoted(pSailPlan->m_strName)
                << " has no polars; the file cannot hold it, so it is left out when written\n";
        }
        for (std::size_t i = 1; i < polars.size(); ++i) {
            if (polars[i]->m_fWindSpeed < polars[i - 1]->m_fWindSpeed) {
                out << "note: sail plan " << Quoted(pSailPlan->m_strName) << ": polar " << i << " ("
                    << FormatFixed2(polars[i]->m_fWindSpeed)
                    << " kn) comes after a higher wind speed ("
                    << FormatFixed2(polars[i - 1]->m_fWindSpeed) << " kn)\n";
            }
        }
        for (std::size_t p = 0; p < polars.size(); ++p) {
            const auto& points = polars[p]->m_aVectors;
            for (std::size_t i = 1; i < points.size(); ++i) {
                if (points[i]->m_fAngle < points[i - 1]->m_fAngle) {
                    out << "note: sail plan " << Quoted(pSailPlan->m_strName) << ", polar " << p
                        << " (" << FormatFixed2(polars[p]->m_fWindSpeed) << " kn): point " << i
                        << " (" << FormatFixed2(points[i]->m_fAngle)
                        << " degrees) comes after a larger angle ("
                        << FormatFixed2(points[i - 1]->m_fAngle) << " degrees)\n";
                }
            }
        }
    }
}

std::string DumpText(const SailPlanArray& aSailPlans) {
    std::string out;
    for (std::size_t s = 0; s < aSailPlans.size(); ++s) {
        const SAILPLAN& sailPlan = *aSailPlans[s];
        out += "sail plan " + std::to_string(s) + " " + Quoted(sailPlan.m_strName) + "\n";
        for (std::size_t p = 0; p < sailPlan.m_aPolars.size(); ++p) {
            const PERF_POLAR& polar = *sailPlan.m_aPolars[p];
            out += "  polar " + std::to_string(p) + " wind speed " +
                   FormatFixed2(polar.m_fWindSpeed) + " tacking angle " +
                   FormatFixed2(polar.m_fTackingAngle) + "\n";
            for (const auto& pVector : polar.m_aVectors) {
                out += "    point ";
                AppendFixed2(out, pVector->m_fAngle);
                out += " ";
                AppendFixed2(out, pVector->m_fSpeed);
                out += "\n";
            }
        }
    }
    return out;
}

void AppendJsonProblem(std::string& out, const PolarFileProblem& problem, bool bFirst) {
    out += bFirst ? "\n    " : ",\n    ";
    out += "{\"line\": " + std::to_string(problem.nLine) +
           ", \"column\": " + std::to_string(problem.nColumn) + ", \"message\": ";
    AppendJsonString(out, problem.strMessage);
    out += "}";
}

std::string DumpJson(const PolarFileContents& contents) {
    std::string out = "{\n  \"sail_plans\": [";
    const auto& aSailPlans = contents.aSailPlans;
    for (std::size_t s = 0; s < aSailPlans.size(); ++s) {
        const SAILPLAN& sailPlan = *aSailPlans[s];
        out += s == 0 ? "\n    {\"name\": " : ",\n    {\"name\": ";
        AppendJsonString(out, DecodeForDisplay(sailPlan.m_strName));
        out += ", \"polars\": [";
        for (std::size_t p = 0; p < sailPlan.m_aPolars.size(); ++p) {
            const PERF_POLAR& polar = *sailPlan.m_aPolars[p];
            out += p == 0 ? "\n      {\"wind_speed\": " : ",\n      {\"wind_speed\": ";
            AppendJsonFloat(out, polar.m_fWindSpeed);
            out += ", \"tacking_angle\": ";
            AppendJsonFloat(out, polar.m_fTackingAngle);
            out += ", \"points\": [";
            for (std::size_t i = 0; i < polar.m_aVectors.size(); ++i) {
                out += i == 0 ? "[" : ", [";
                AppendJsonFloat(out, polar.m_aVectors[i]->m_fAngle);
                out += ", ";
                AppendJsonFloat(out, polar.m_aVectors[i]->m_fSpeed);
                out += "]";
            }
            out += "]}";
        }
        out += sailPlan.m_aPolars.empty() ? "]}" : "\n    ]}";
    }
    out += aSailPlans.empty() ? "],\n  \"problems\": [" : "\n  ],\n  \"problems\": [";
    bool bFirst = true;
    for (const auto& warning : contents.aWarnings) {
        AppendJsonProblem(out, warning, bFirst);
        bFirst = false;
    }
    if (contents.stop) {
        AppendJsonProblem(out, *contents.stop, bFirst);
        bFirst = false;
    }
    out += bFirst ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

// Writes the sail plans, telling what the format cannot hold. A file that held sail plans is
// not turned into an empty one unless bForce.
bool WriteResult(const std::string& strTarget, const SailPlanArray& aSailPlans, bool bForce,
                 bool& bOmitted, std::ostream& out, std::ostream& err) {
    PolarFileOmissions omitted;
    const std::string strText = FormatPolarFile(aSailPlans, &omitted);
    err << DescribeOmissions(omitted);
    bOmitted = !omitted.Empty();
    if (strText.empty() && !aSailPlans.empty() && !bForce) {
        err << "polarctl: " << strTarget
            << ": not written, since no sail plan has a polar and the file would be empty "
               "(--force writes it)\n";
        return false;
    }
    return WriteOutput(strTarget, strText, bForce, out, err);
}

// The file a command writes: -o, else the file it read, which must then be a regular file
// (standard input's data go to standard output). False with the message when it cannot be.
bool ChooseTarget(const ParsedArgs& parsed, const std::string& strFile, const char* pszCommand,
                  std::string& strTarget, std::ostream& err) {
    if (const auto target = parsed.Option("-o")) {
        strTarget = *target;
        return CheckOutput(strTarget, err);
    }
    strTarget = strFile;
    return IsStandardStream(strFile) || CheckRewritable(strFile, pszCommand, err);
}

}  // namespace

int RunCheck(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& strFile = parsed.aPositional[0];
    PolarFileContents contents;
    if (!LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    }
    const Counts counts = CountRecords(contents.aSailPlans);
    out << strFile << ": " << Plural(contents.aSailPlans.size(), "sail plan", "sail plans") << ", "
        << Plural(counts.nPolars, "polar", "polars") << ", "
        << Plural(counts.nPoints, "point", "points") << "\n";
    const bool bProblems = PrintProblems(out, strFile, contents);
    NoteOrder(out, contents.aSailPlans);
    WarnPolarsWithoutPoints(out, strFile, AllOf(contents.aSailPlans));  // warnings only
    WarnImplausible(out, strFile, AllOf(contents.aSailPlans));
    return bProblems ? kExitInputProblem : kExitOk;
}

int RunDump(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& strFile = parsed.aPositional[0];
    PolarFileContents contents;
    if (!LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    }
    if (parsed.Flag("--json")) {
        out << DumpJson(contents);
        return contents.aWarnings.empty() && !contents.stop ? kExitOk : kExitInputProblem;
    }
    out << DumpText(contents.aSailPlans);
    return PrintProblems(err, strFile, contents) ? kExitInputProblem : kExitOk;
}

int RunNormalize(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& strFile = parsed.aPositional[0];
    std::string strTarget;
    if (!ChooseTarget(parsed, strFile, "normalize without -o", strTarget, err)) {
        return kExitInputProblem;
    }
    FileLock lock;
    PolarFileContents contents;
    if (!LockForRewrite(strFile, strTarget, lock, err) || !LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    }
    const bool bProblems = PrintProblems(err, strFile, contents);
    if (RefuseLossyWrite(strFile, contents, parsed.Flag("--force"), err)) {
        return kExitInputProblem;
    }
    bool bOmitted = false;
    if (!WriteResult(strTarget, contents.aSailPlans, parsed.Flag("--force"), bOmitted, out, err)) {
        return kExitInputProblem;
    }
    ReportStream(strTarget, out, err) << "wrote " << strTarget << "\n";
    return bProblems || bOmitted ? kExitInputProblem : kExitOk;
}

int RunSmooth(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const auto nPolar = ParseIndex(parsed.Option("--polar").value_or(""));
    if (!nPolar) {
        err << "polarctl: smooth needs --polar INDEX, a whole number from 0\n";
        return kExitUsage;
    }
    const std::string& strFile = parsed.aPositional[0];
    std::string strTarget;
    if (!ChooseTarget(parsed, strFile, "smooth without -o", strTarget, err)) {
        return kExitInputProblem;
    }
    FileLock lock;
    PolarFileContents contents;
    if (!LockForRewrite(strFile, strTarget, lock, err) || !LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    }
    PrintProblems(err, strFile, contents);
    if (RefuseLossyWrite(strFile, contents, parsed.Flag("--force"), err)) {
        return kExitInputProblem;
    }
    auto& aSailPlans = contents.aSailPlans;
    std::string strError;
    const auto nSailPlan =
        ChooseSailPlan(aSailPlans, parsed.Option("--sail-plan").value_or(""), strFile, strError);
    if (!nSailPlan) {
        err << "polarctl: " << strError << "\n";
        return kExitUsage;
    }
    SAILPLAN& sailPlan = *aSailPlans[*nSailPlan];
    if (*nPolar >= sailPlan.GetPolarCount()) {
        err << "polarctl: polar " << *nPolar << " does not exist (sail plan "
            << Quoted(sailPlan.m_strName) << " has "
            << Plural(sailPlan.m_aPolars.size(), "polar", "polars") << ")\n";
        return kExitUsage;
    }
    const int nPoints = sailPlan.Polar(*nPolar).GetVectorCount();
    try {
        if (sailPlan.SmoothPolar(*nPolar) == 0) {
            err << "polarctl: the polar has "
                << Plural(static_cast<std::size_t>(nPoints), "point", "points")
                << "; smoothing needs at least 3. The polar is unchanged; nothing written.\n";
            return kExitInputProblem;
        }
    } catch (const std::bad_alloc&) {
        sailPlan.EndSmooth(*nPolar, true);
        err << "polarctl: out of memory while smoothing; the polar is unchanged, nothing written\n";
        return kExitInputProblem;
    }
    if (g_aSmoothBackup.empty()) {
        err << "polarctl: the least-squares fit failed (the points do not determine a polynomial "
               "of degree "
            << SmoothingDegree(nPoints) << "). The polar is unchanged; nothing written.\n";
        return kExitInputProblem;
    }
    sailPlan.EndSmooth(*nPolar, false);
    const PERF_POLAR& polar = sailPlan.Polar(*nPolar);
    std::ostream& report = ReportStream(strTarget, out, err);
    report << "degree " << SmoothingDegree(nPoints) << ", "
           << Plural(polar.m_aVectors.size(), "point", "points") << ":\n";
    for (const auto& pVector : polar.m_aVectors) {
        report << FormatFixed2(pVector->m_fAngle) << " " << FormatFixed2(pVector->m_fSpeed) << "\n";
    }
    bool bOmitted = false;
    if (!WriteResult(strTarget, aSailPlans, parsed.Flag("--force"), bOmitted, out, err)) {
        return kExitInputProblem;
    }
    report << "wrote " << strTarget << "\n";
    return bOmitted ? kExitInputProblem : kExitOk;
}
