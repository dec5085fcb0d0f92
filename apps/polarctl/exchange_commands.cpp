// polarctl import, export and vmg: polars to and from the formats of other sailing software,
// and the best angles to sail.
#include <filesystem>
#include <ostream>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "apps/polarctl/json_text.h"
#include "apps/polarctl/plausibility.h"
#include "apps/polarctl/polarctl.h"
#include "data/number_text.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "exchange/exchange.h"

namespace {

// Loads a data file for a command that will write it: false (with the message) when it cannot
// be read, or when its reading stopped early and --force was not given.
bool LoadForWriting(const std::string& strFile, PolarFileContents& contents, bool bForce,
                    std::ostream& err) {
    if (!LoadOrComplain(strFile, contents, err)) {
        return false;
    }
    if (contents.stop) {
        PrintProblem(err, strFile, *contents.stop);
    }
    return !RefuseLossyWrite(strFile, contents, bForce, err);
}

}  // namespace

int RunImport(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& strIn = parsed.aPositional[0];
    const auto strOut = parsed.Option("-o");
    if (!strOut) {
        err << "polarctl: import needs -o POLAR.PPD\n";
        return kExitUsage;
    }
    const bool bToStandardOutput = IsStandardOutput(*strOut);
    if (parsed.Flag("--append")) {
        if (bToStandardOutput) {
            err << "polarctl: --append adds to the file at -o; standard output has none to add "
                   "to\n";
            return kExitUsage;
        }
        if (!CheckRewritable(*strOut, "--append", err)) {
            return kExitInputProblem;
        }
    }
    if (!CheckOutput(*strOut, err)) {
        return kExitInputProblem;
    }
    std::string text;
    if (const IoStatus status = ReadInput(strIn, text); !status.Ok()) {
        err << "polarctl: " << status.strError << "\n";
        return kExitInputProblem;
    }
    const ExchangeFormat* format = nullptr;
    if (const auto name = parsed.Option("--format")) {
        format = FormatByName(*name);
        if (format == nullptr) {
            err << "polarctl: --format takes " << FormatNames(", ", " or ") << "\n";
            return kExitUsage;
        }
    } else {
        format = GuessFormat(text, strIn);
        if (format == nullptr) {
            err << "polarctl: cannot tell the format of " << strIn << "; give --format "
                << FormatNames(", ", " or ") << "\n";
            return kExitUsage;
        }
    }
    const bool bForce = parsed.Flag("--force");
    ImportResult result = format->read(text, parsed.Option("--sail-plan").value_or(""));
    // Standard input has no file name to call the sail plan by.
    const std::string strFallback = IsStandardStream(strIn)
                                        ? std::string("Imported")
                                        : std::filesystem::path(strIn).stem().string();
    // A format of several sail plans gives them all; each is added.
    std::vector<std::unique_ptr<SAILPLAN>> aImported;
    aImported.push_back(std::move(result.pSailPlan));
    for (auto& pMore : result.aMoreSailPlans) {
        aImported.push_back(std::move(pMore));
    }
    for (auto& pPlan : aImported) {
        NameImportedSailPlan(*pPlan, strFallback);
    }
    if (result.error) {
        PrintProblem(err, strIn, *result.error);
        if (!bForce) {
            err << "polarctl: nothing written (--force imports what could be read)\n";
            return kExitInputProblem;
        }
    }
    std::vector<const SAILPLAN*> aWarned;
    for (const auto& pPlan : aImported) {
        aWarned.push_back(pPlan.get());
    }
    WarnImplausible(err, strIn, aWarned);
    std::erase_if(aImported, [](const auto& pPlan) { return pPlan->m_aPolars.empty(); });
    if (aImported.empty()) {
        err << "polarctl: " << strIn << " holds no polar; nothing written\n";
        return kExitInputProblem;
    }

    PolarFileContents contents;
    // Only a regular file holds sail plans to keep; a FIFO or a device is written in place.
    const bool bExists = !bToStandardOutput && DataFileExists(*strOut);
    FileLock lock;
    if (parsed.Flag("--append")) {
        if (bExists && (!LockForRewrite(*strOut, *strOut, lock, err) ||
                        !LoadForWriting(*strOut, contents, bForce, err))) {
            return kExitInputProblem;
        }
    } else if (bExists && !bForce) {
        err << "polarctl: " << *strOut
            << " exists; --append adds the sail plan to it, --force replaces it\n";
        return kExitUsage;
    }
    std::vector<std::string> aReports;
    for (auto& pPlan : aImported) {
        std::size_t nPoints = 0;
        for (const auto& pPolar : pPlan->m_aPolars) {
            nPoints += pPolar->m_aVectors.size();
        }
        aReports.push_back("imported \"" + DecodeForDisplay(pPlan->m_strName) + "\" (" +
                           std::string(format->name) +
                           "): " + std::to_string(pPlan->m_aPolars.size()) + " polars, " +
                           std::to_string(nPoints) + " points into " + *strOut + "\n");
        contents.aSailPlans.push_back(std::move(pPlan));
    }
    if (!WriteOutput(*strOut, FormatPolarFile(contents.aSailPlans), bForce, out, err)) {
        return kExitInputProblem;
    }
    for (const std::string& strReport : aReports) {
        ReportStream(*strOut, out, err) << strReport;
    }
    return result.error ? kExitInputProblem : kExitOk;
}

int RunExport(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const auto strOut = parsed.Option("-o");
    const auto strWhich = parsed.Option("--sail-plan");
    if (!strOut) {
        err << "polarctl: export needs -o OUT\n";
        return kExitUsage;
    }
    const auto name = parsed.Option("--format");
    const ExchangeFormat* format = name ? FormatByName(*name) : FormatByExtension(*strOut);
    if (format == nullptr) {
        err << "polarctl: give --format " << FormatNames(", ", " or ") << " (or an OUT ending in "
            << FormatExtensions(", ", " or ") << ")\n";
        return kExitUsage;
    }
    // Every sail plan goes only where the format holds several.
    if (!strWhich && format->writeAll == nullptr) {
        err << "polarctl: a " << format->name
            << " file holds one sail plan; export needs --sail-plan INDEX|NAME\n";
        return kExitUsage;
    }
    const bool bDecimalComma = parsed.Flag("--decimal-comma");
    if (bDecimalComma && !format->bDecimalComma) {
        err << "polarctl: --decimal-comma is for the grid; " << format->name
            << " files take decimal points\n";
        return kExitUsage;
    }
    if (!CheckOutput(*strOut, err)) {
        return kExitInputProblem;
    }
    const std::string& strFile = parsed.aPositional[0];
    PolarFileContents contents;
    if (!LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    }
    if (contents.stop) {
        PrintProblem(err, strFile, *contents.stop);
    }
    std::vector<const SAILPLAN*> aChosen;
    if (strWhich) {
        std::string strError;
        const auto nSailPlan = ChooseSailPlan(contents.aSailPlans, *strWhich, strFile, strError);
        if (!nSailPlan) {
            err << "polarctl: " << strError << "\n";
            return kExitUsage;
        }
        aChosen.push_back(contents.aSailPlans[*nSailPlan].get());
    } else {
        for (const auto& pPlan : contents.aSailPlans) {
            aChosen.push_back(pPlan.get());
        }
    }
    if (aChosen.empty()) {
        err << "polarctl: " << strFile << " holds no sail plan; nothing written\n";
        return kExitInputProblem;
    }
    if (format->refusal != nullptr) {
        for (const SAILPLAN* pPlan : aChosen) {
            if (const std::string strWhy = format->refusal(*pPlan); !strWhy.empty()) {
                err << "polarctl: \"" << DecodeForDisplay(pPlan->m_strName) << "\" cannot be a "
                    << format->name << " file: " << strWhy << "; nothing written\n";
                return kExitInputProblem;
            }
        }
    }
    const ExportTarget target(*strOut, bDecimalComma);
    const std::string text = aChosen.size() == 1 ? format->write(*aChosen[0], target)
                                                 : format->writeAll(aChosen, target);
    if (!WriteOutput(*strOut, text, parsed.Flag("--force"), out, err)) {
        return kExitInputProblem;
    }
    // Never a silent change: what the file does not hold is said.
    for (const std::string& strNote : ExportNotes(*format, aChosen, text)) {
        err << "polarctl: note: " << *strOut << ": " << strNote << "\n";
    }
    for (const SAILPLAN* pPlan : aChosen) {
        ReportStream(*strOut, out, err) << "exported \"" << DecodeForDisplay(pPlan->m_strName)
                                        << "\" (" << format->name << ") to " << *strOut << "\n";
    }
    return contents.stop ? kExitInputProblem : kExitOk;
}

int RunVmg(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& strFile = parsed.aPositional[0];
    const bool bApply = parsed.Flag("--apply");
    // vmg - --apply is a filter: the file goes to standard output, the table to standard error.
    if (bApply && !IsStandardStream(strFile) && !CheckRewritable(strFile, "vmg --apply", err)) {
        return kExitInputProblem;
    }
    std::ostream& report = bApply ? ReportStream(strFile, out, err) : out;
    PolarFileContents contents;
    FileLock lock;
    if (bApply) {
        if (!LockForRewrite(strFile, strFile, lock, err) ||
            !LoadForWriting(strFile, contents, parsed.Flag("--force"), err)) {
            return kExitInputProblem;
        }
    } else if (!LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    } else if (contents.stop) {
        PrintProblem(err, strFile, *contents.stop);
    }
    std::vector<std::size_t> aChosen;
    if (const auto which = parsed.Option("--sail-plan")) {
        std::string strError;
        const auto n = ChooseSailPlan(contents.aSailPlans, *which, strFile, strError);
        if (!n) {
            err << "polarctl: " << strError << "\n";
            return kExitUsage;
        }
        aChosen.push_back(*n);
    } else {
        for (std::size_t i = 0; i < contents.aSailPlans.size(); ++i) {
            aChosen.push_back(i);
        }
    }
    std::vector<const SAILPLAN*> aWarned;
    for (const std::size_t n : aChosen) {
        aWarned.push_back(contents.aSailPlans[n].get());
    }
    WarnImplausible(err, strFile, aWarned);
    const bool bJson = parsed.Flag("--json");
    std::string json = "{\"sail_plans\": [";
    for (std::size_t k = 0; k < aChosen.size(); ++k) {
        SAILPLAN& plan = *contents.aSailPlans[aChosen[k]];
        const std::string strName = DecodeForDisplay(plan.m_strName);
        json += k == 0 ? "\n  {\"name\": " : ",\n  {\"name\": ";
        AppendJsonString(json, strName);
        json += ", \"polars\": [";
        bool bFirst = true;
        for (auto& pPolar : plan.m_aPolars) {
            const std::optional<BestVmg> best = FindBestVmg(*pPolar);
            if (!bJson) {
                report << strName << "  " << FormatFixed2(pPolar->m_fWindSpeed) << " kn: ";
                if (best) {
                    report << "upwind " << FormatFixed2(best->fUpwindAngle) << " deg, VMG "
                           << FormatFixed2(best->fUpwindVmg) << " kn; downwind "
                           << FormatFixed2(best->fDownwindAngle) << " deg, VMG "
                           << FormatFixed2(best->fDownwindVmg) << " kn\n";
                } else {
                    report << "no points\n";
                }
            }
            json += bFirst ? "\n    {\"wind_speed\": " : ",\n    {\"wind_speed\": ";
            bFirst = false;
            AppendJsonFloat(json, pPolar->m_fWindSpeed);
            if (best) {
                json += ", \"upwind_angle\": ";
                AppendJsonFloat(json, best->fUpwindAngle);
                json += ", \"upwind_vmg\": ";
                AppendJsonFloat(json, best->fUpwindVmg);
                json += ", \"downwind_angle\": ";
                AppendJsonFloat(json, best->fDownwindAngle);
                json += ", \"downwind_vmg\": ";
                AppendJsonFloat(json, best->fDownwindVmg);
                if (bApply) {
                    pPolar->m_fTackingAngle = best->fUpwindAngle;
                }
            }
            json += "}";
        }
        json += bFirst ? "]}" : "\n  ]}";
    }
    json += aChosen.empty() ? "]}\n" : "\n]}\n";
    if (bJson) {
        report << json;
    }
    if (bApply) {
        if (!WriteOutput(strFile, FormatPolarFile(contents.aSailPlans), parsed.Flag("--force"), out,
                         err)) {
            return kExitInputProblem;
        }
        if (!bJson) {
            report << "wrote the best upwind angles as tacking angles to " << strFile << "\n";
        }
    }
    return contents.stop ? kExitInputProblem : kExitOk;
}
