// polarctl learn and compare: polars from the boat's own instrument logs, and the boat's
// sailing measured against a polar.
#include <algorithm>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "apps/polarctl/plausibility.h"
#include "apps/polarctl/polarctl.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "exchange/exchange.h"
#include "logs/calibration_report.h"
#include "logs/learn_outcome.h"
#include "logs/logs.h"
#include "logs/progress_line.h"
#include "smoothing/polar_smoothing.h"

namespace {

// Every log checked before anything else is done: a folder or an unreadable file is named.
bool CheckLogs(const std::vector<std::string>& aLogs, std::ostream& err) {
    for (const std::string& strLog : aLogs) {
        std::string strError;
        if (!CheckLog(strLog, strError)) {
            err << "polarctl: " << strError << "\n";
            return false;
        }
    }
    return true;
}

// The options learn and compare share, read into the learn options; false after telling why.
bool ReadSampleOptions(const ParsedArgs& parsed, LearnOptions& options, std::ostream& err) {
    if (const auto text = parsed.Option("--steady-seconds")) {
        const auto v = ParseExchangeNumber(*text, false);
        if (!v || *v < 0 || *v > 3600) {
            err << "polarctl: --steady-seconds needs a number from 0 to 3600\n";
            return false;
        }
        options.dSteadySeconds = *v;
    }
    if (const auto text = parsed.Option("--exclude");
        text && !ParseSpans(*text, options.excluded)) {
        err << "polarctl: --exclude needs spans of the day such as 09:30-10:15,17:00-17:40\n";
        return false;
    }
    return true;
}

// Reads the logs, with a line of progress on standard error when it is a terminal.
bool ReadLogsShowingProgress(const std::vector<std::string>& aPaths, LogCounts& counts,
                             const LogSink& sink, const std::function<void()>& newLog,
                             std::ostream& err, std::string& strError) {
    if (!ShowsProgress(err)) {
        return ReadLogs(aPaths, counts, sink, newLog, strError);
    }
    ProgressLine line(err);
    LogReadOptions options;
    options.progress = [&](const LogProgress& p) { line.Update(p.nBytesRead, p.nBytesTotal); };
    const bool bRead = ReadLogs(aPaths, counts, sink, newLog, strError, options);
    line.Finish();
    return bRead;
}

}  // namespace

int RunLearn(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    std::string strError;
    const auto strOut = parsed.Option("-o");
    if (!strOut) {
        err << "polarctl: learn needs -o POLAR.PPD\n";
        return kExitUsage;
    }
    const auto strReport = parsed.Option("--report");
    const bool bPolarToStandardOutput = IsStandardOutput(*strOut);
    const bool bReportToStandardOutput = strReport && IsStandardOutput(*strReport);
    if (bPolarToStandardOutput && bReportToStandardOutput) {
        err << "polarctl: -o and --report cannot both go to standard output\n";
        return kExitUsage;
    }
    if (parsed.Flag("--append") && bPolarToStandardOutput) {
        err << "polarctl: --append adds to the file at -o; standard output has none to add to\n";
        return kExitUsage;
    }
    if (!ReadsStandardInputOnce(parsed.aPositional, err)) {
        return kExitUsage;
    }
    if (!CheckLogs(parsed.aPositional, err)) {
        return kExitInputProblem;
    }
    // Told before the logs are read, which may take long.
    if (!CheckOutput(*strOut, err) || (strReport && !CheckOutput(*strReport, err)) ||
        (parsed.Flag("--append") && !CheckRewritable(*strOut, "--append", err))) {
        return kExitInputProblem;
    }
    // With the polar or the report on standard output, the summary goes to standard error.
    std::ostream& summary = bPolarToStandardOutput || bReportToStandardOutput ? err : out;
    LearnOptions options;
    if (const auto ws = parsed.Option("--wind-speeds");
        ws && !ParseWindSpeedList(*ws, options.windSpeeds)) {
        err << "polarctl: --wind-speeds needs ascending wind speeds such as 4,6,8\n";
        return kExitUsage;
    }
    const auto number = [&](const char* pszName, float fMin, float fMax, float& f) {
        if (const auto text = parsed.Option(pszName)) {
            const auto v = ParseExchangeNumber(*text, false);
            if (!v || *v < fMin || *v > fMax) {
                err << "polarctl: " << pszName << " needs a number from " << fMin << " to " << fMax
                    << "\n";
                return false;
            }
            f = *v;
        }
        return true;
    };
    float fMinSamples = static_cast<float>(options.nMinSamples);
    if (!number("--angle-step", 1, 45, options.fAngleStep) ||
        !number("--percentile", 1, 100, options.fPercentile) ||
        !number("--min-samples", 1, 1e9f, fMinSamples) ||
        !number("--holdout", 0, 90, options.fHoldoutPercent) ||
        !ReadSampleOptions(parsed, options, err)) {
        return kExitUsage;
    }
    options.nMinSamples = static_cast<int>(fMinSamples);

    const bool bCalibrate = parsed.Flag("--calibrate");
    options.bSelfCalibrate = bCalibrate;
    Learner learner(options);
    LogCounts counts;
    if (!ReadLogsShowingProgress(
            parsed.aPositional, counts, [&](const LogSample& s) { learner.Add(s); },
            [&] { learner.NewLog(); }, err, strError)) {
        err << "polarctl: " << strError << "\n";
        return kExitInputProblem;
    }
    LearnOutcome outcome =
        FinishLearning(learner, counts, options, parsed.Option("--sail-plan").value_or("Measured"),
                       parsed.Flag("--fit"), parsed.Flag("--extrapolate"));
    summary << outcome.strSummary;
    if (strReport &&
        !WriteOutput(*strReport, outcome.strReportJson + "\n", parsed.Flag("--force"), out, err)) {
        return kExitInputProblem;
    }
    std::unique_ptr<SAILPLAN> pSailPlan = std::move(outcome.pSailPlan);
    if (pSailPlan->m_aPolars.empty()) {
        err << "polarctl: " << NothingLearnedReason(outcome) << "\n";
        return kExitInputProblem;
    }
    WarnImplausible(err, *strOut, {pSailPlan.get()});

    PolarFileContents contents;
    // Only a regular file holds sail plans to keep; a FIFO or a device is written in place.
    const bool bExists = !bPolarToStandardOutput && DataFileExists(*strOut);
    FileLock lock;
    if (bExists && parsed.Flag("--append")) {
        if (!LockForRewrite(*strOut, *strOut, lock, err) ||
            !LoadOrComplain(*strOut, contents, err) ||
            RefuseLossyWrite(*strOut, contents, parsed.Flag("--force"), err)) {
            return kExitInputProblem;
        }
    } else if (bExists && !parsed.Flag("--force")) {
        err << "polarctl: " << *strOut
            << " exists; --append adds the sail plan to it, --force replaces it\n";
        return kExitUsage;
    }
    contents.aSailPlans.push_back(std::move(pSailPlan));
    if (!WriteOutput(*strOut, FormatPolarFile(contents.aSailPlans), parsed.Flag("--force"), out,
                     err)) {
        return kExitInputProblem;
    }
    summary << "wrote " << *strOut << "\n";
    return kExitOk;
}

int RunCompare(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    std::string strError;
    if (parsed.aPositional.size() < 2 || !parsed.Option("--sail-plan")) {
        err << "polarctl: compare needs LOG... POLAR.PPD --sail-plan INDEX|NAME (see polarctl "
               "compare --help)\n";
        return kExitUsage;
    }
    LearnOptions options;
    if (!ReadSampleOptions(parsed, options, err)) {
        return kExitUsage;
    }
    if (!ReadsStandardInputOnce(parsed.aPositional, err)) {
        return kExitUsage;
    }
    const std::string strFile = parsed.aPositional.back();
    const std::vector<std::string> aLogs(parsed.aPositional.begin(), parsed.aPositional.end() - 1);
    if (!CheckLogs(aLogs, err)) {
        return kExitInputProblem;
    }
    PolarFileContents contents;
    if (!LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    }
    const auto nSailPlan =
        ChooseSailPlan(contents.aSailPlans, *parsed.Option("--sail-plan"), strFile, strError);
    if (!nSailPlan) {
        err << "polarctl: " << strError << "\n";
        return kExitUsage;
    }
    SAILPLAN& plan = *contents.aSailPlans[*nSailPlan];
    SortSailPlan(plan);
    Comparison comparison(plan, options);
    LogCounts counts;
    if (!ReadLogsShowingProgress(
            aLogs, counts, [&](const LogSample& s) { comparison.Add(s); },
            [&] { comparison.NewLog(); }, err, strError)) {
        err << "polarctl: " << strError << "\n";
        return kExitInputProblem;
    }
    comparison.Finish();
    if (comparison.Samples() == 0 || MotoringOnly(comparison.Counts())) {
        // The stages kept samples, but the sail plan had no speed for them.
        const std::string strCause =
            MotoringOnly(comparison.Counts()) ? MotoringOnlyCause(comparison.Counts())
            : comparison.Counts().nKept > 0
                ? "the sail plan has no speed at the kept samples' wind speeds and angles"
                : MainCause(counts, comparison.Counts(), options);
        if (!parsed.Flag("--json")) {
            out << LogCountsText(counts);
        }
        err << "polarctl: no sample to compare with \"" << DecodeForDisplay(plan.m_strName)
            << "\": " << strCause << "\n";
        return kExitInputProblem;
    }
    const auto pct = [](double d) { return FormatExchangeNumber(static_cast<float>(d)); };
    if (parsed.Flag("--json")) {
        out << "{\"samples\": " << comparison.Samples() << ", " << LogCountsJson(counts)
            << ", \"median_percent\": " << pct(comparison.MedianPercent()) << ", \"bins\": [";
        bool bFirst = true;
        for (const ComparisonBin& bin : comparison.PerBin()) {
            out << (bFirst ? "\n  " : ",\n  ")
                << "{\"wind_speed\": " << FormatExchangeNumber(bin.fWindSpeed)
                << ", \"angle\": " << FormatExchangeNumber(bin.fAngle)
                << ", \"samples\": " << bin.nSamples
                << ", \"median_percent\": " << pct(bin.dMedianPercent)
                << ", \"p10_percent\": " << pct(bin.dPercentile10)
                << ", \"p90_percent\": " << pct(bin.dPercentile90) << "}";
            bFirst = false;
        }
        out << (bFirst ? "]}\n" : "\n]}\n");
        return kExitOk;
    }
    out << LogCountsText(counts);
    out << "compared " << comparison.Samples() << " samples with \""
        << DecodeForDisplay(plan.m_strName) << "\": median " << pct(comparison.MedianPercent())
        << " %\n";
    out << "wind kn  angle  samples  median %  10th %  90th %\n";
    for (const ComparisonBin& bin : comparison.PerBin()) {
        out << FormatExchangeNumber(bin.fWindSpeed) << "\t" << FormatExchangeNumber(bin.fAngle)
            << "\t" << bin.nSamples << "\t" << pct(bin.dMedianPercent) << "\t"
            << pct(bin.dPercentile10) << "\t" << pct(bin.dPercentile90) << "\n";
    }
    return kExitOk;
}
