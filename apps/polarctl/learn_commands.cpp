// polarctl learn and compare: polars from the boat's own instrument logs, and the boat's
// sailing measured against a polar.
#include <optional>
#include <ostream>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "apps/polarctl/plausibility.h"
#include "apps/polarctl/polarctl.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "exchange/exchange.h"
#include "logs/logs.h"
#include "logs/progress_line.h"
#include "smoothing/polar_smoothing.h"

namespace {

// Fewer points than this, and learn says the main cause of so few.
constexpr int kFewPoints = 10;

// "HH:MM-HH:MM[,HH:MM-HH:MM...]": spans of the time of day.
bool ParseSpans(const std::string& strText, std::vector<TimeOfDaySpan>& spans) {
    const auto clock = [](std::string_view t, double& dSeconds) {
        if (t.size() != 5 || t[2] != ':') {
            return false;
        }
        int h = 0;
        int m = 0;
        for (const char c : {t[0], t[1], t[3], t[4]}) {
            if (c < '0' || c > '9') {
                return false;
            }
        }
        h = (t[0] - '0') * 10 + (t[1] - '0');
        m = (t[3] - '0') * 10 + (t[4] - '0');
        dSeconds = h * 3600.0 + m * 60.0;
        return (h < 24 && m < 60) || (h == 24 && m == 0);
    };
    spans.clear();
    std::string_view rest(strText);
    while (!rest.empty()) {
        const std::size_t nComma = rest.find(',');
        const std::string_view span = rest.substr(0, nComma);
        rest = nComma == std::string_view::npos ? std::string_view() : rest.substr(nComma + 1);
        TimeOfDaySpan parsed{};
        if (span.size() != 11 || span[5] != '-' || !clock(span.substr(0, 5), parsed.dFrom) ||
            !clock(span.substr(6), parsed.dTo) || parsed.dFrom == parsed.dTo) {
            return false;
        }
        spans.push_back(parsed);
        if (nComma != std::string_view::npos && rest.empty()) {
            return false;  // a trailing comma
        }
    }
    return !spans.empty();
}

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

// Each learned polar replaced by the project's least-squares fit of its points (polarctl
// smooth's), its tacking angle the fitted polar's best upwind VMG; a polar the fit cannot take
// stays as learned. The number fitted.
int FitPolars(SAILPLAN& plan) {
    int nFitted = 0;
    for (int i = 0; i < plan.GetPolarCount(); ++i) {
        if (plan.SmoothPolar(i) == 0 || g_aSmoothBackup.empty()) {
            continue;
        }
        plan.EndSmooth(i, false);
        PERF_POLAR& polar = plan.Polar(i);
        if (const auto best = FindBestVmg(polar)) {
            polar.m_fTackingAngle = best->fUpwindAngle;
        }
        ++nFitted;
    }
    return nFitted;
}

std::string Estimate(const std::optional<double>& value) {
    return value ? FormatExchangeNumber(static_cast<float>(*value)) : std::string("null");
}

std::string CalibrationText(const std::optional<double>& angleOffset,
                            const std::optional<double>& speedFactor, bool bAsked, bool bApplied) {
    std::string s = "calibration: wind angle offset ";
    s += angleOffset ? Estimate(angleOffset) + " degrees" : "unknown (the tacks do not overlap)";
    s += ", boat speed factor ";
    s += speedFactor ? Estimate(speedFactor)
                     : "unknown (no heading with speed and course over ground)";
    s += bApplied ? "; applied\n"
         : bAsked ? "; nothing to apply\n"
                  : "; --calibrate applies them\n";
    return s;
}

std::string CalibrationJson(const std::optional<double>& angleOffset,
                            const std::optional<double>& speedFactor, bool bApplied) {
    return "{\"angle_offset\": " + Estimate(angleOffset) +
           ", \"speed_factor\": " + Estimate(speedFactor) +
           ", \"applied\": " + (bApplied ? "true" : "false") + "}";
}

std::string HoldoutText(const HoldoutError& e) {
    return "held out: " + std::to_string(e.nLegs) + " legs, " + std::to_string(e.nSamples) +
           " samples; the polar against them in " + std::to_string(e.nBins) +
           " bins: median error " + FormatExchangeNumber(static_cast<float>(e.dMedian)) +
           " kn, 90th percentile " + FormatExchangeNumber(static_cast<float>(e.dPercentile90)) +
           " kn\n";
}

std::string HoldoutJson(const HoldoutError& e) {
    return "{\"legs\": " + std::to_string(e.nLegs) +
           ", \"samples\": " + std::to_string(e.nSamples) +
           ", \"bins\": " + std::to_string(e.nBins) +
           ", \"median_error\": " + FormatExchangeNumber(static_cast<float>(e.dMedian)) +
           ", \"p90_error\": " + FormatExchangeNumber(static_cast<float>(e.dPercentile90)) + "}";
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
    learner.Finish();
    // The sensors' errors the sailing shows; with --calibrate, taken out of the points.
    const std::optional<double> angleOffset = learner.Calibration().AngleOffset();
    const std::optional<double> speedFactor = learner.Calibration().SpeedFactor();
    const bool bCalibrated = bCalibrate && (angleOffset || speedFactor);
    std::unique_ptr<SAILPLAN> pSailPlan =
        learner.Result(parsed.Option("--sail-plan").value_or("Measured"));
    const int nFitted = parsed.Flag("--fit") ? FitPolars(*pSailPlan) : 0;
    // Few points or none: the main cause said, on the terminal and in the report.
    const bool bFewPoints = pSailPlan->m_aPolars.empty() || learner.Points() < kFewPoints;
    const std::string strCause =
        bFewPoints ? MainCause(counts, learner.Counts(), options) : std::string();
    summary << LogCountsText(counts) << learner.Summary();
    if (bFewPoints) {
        summary << "few points: " << strCause << "\n";
    }
    if (parsed.Flag("--fit")) {
        summary << "fitted: " << nFitted << " of " << pSailPlan->m_aPolars.size() << " polars\n";
    }
    summary << CalibrationText(angleOffset, speedFactor, bCalibrate, bCalibrated);
    const HoldoutError holdout = learner.Holdout(*pSailPlan);
    if (options.fHoldoutPercent > 0) {
        summary << HoldoutText(holdout);
    }
    if (strReport) {
        const std::string strJson =
            "{" + learner.ReportJson() + ", " + LogCountsJson(counts) +
            ", \"calibration\": " + CalibrationJson(angleOffset, speedFactor, bCalibrated) +
            ", \"fitted\": " + std::to_string(nFitted) + ", \"holdout\": " +
            (options.fHoldoutPercent > 0 ? HoldoutJson(holdout) : std::string("null")) +
            ", \"cause\": " + (bFewPoints ? JsonText(strCause) : std::string("null")) + "}\n";
        if (!WriteOutput(*strReport, strJson, parsed.Flag("--force"), out, err)) {
            return kExitInputProblem;
        }
    }
    if (pSailPlan->m_aPolars.empty()) {
        err << "polarctl: no wind speed has two points: nothing written (" << strCause << ")\n";
        return kExitInputProblem;
    }
    WarnImplausible(err, *strOut, {pSailPlan.get()});

    PolarFileContents contents;
    // Only a regular file holds sail plans to keep; a FIFO or a device is written in place.
    const bool bExists = !bPolarToStandardOutput && DataFileExists(*strOut);
    if (bExists && parsed.Flag("--append")) {
        if (!LoadOrComplain(*strOut, contents, err) ||
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
    if (comparison.Samples() == 0) {
        // The stages kept samples, but the sail plan had no speed for them.
        const std::string strCause =
            comparison.Counts().nKept > 0
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
