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

// What --fit made: the polars fitted, the points written, and which of them the fit made at
// angles no sample was learned at (between sailed angles), and how many it made beyond the
// sailed angles and left out (without --extrapolate).
struct FitResult {
    int nPolars = 0;
    int nPoints = 0;
    std::vector<std::pair<float, float>> withoutData;  // wind speed, angle
    int nLeftOut = 0;
};

// Each learned polar replaced by the project's least-squares fit of its points (polarctl
// smooth's), its tacking angle the fitted polar's best upwind VMG; a polar the fit cannot take
// stays as learned. Only the fitted points between the first and last sailed angles are kept
// unless bExtrapolate: beyond them the fit has nothing behind it.
FitResult FitPolars(SAILPLAN& plan, bool bExtrapolate) {
    FitResult result;
    for (int i = 0; i < plan.GetPolarCount(); ++i) {
        std::vector<float> sailed;
        for (const auto& pVector : plan.Polar(i).m_aVectors) {
            sailed.push_back(pVector->m_fAngle);
        }
        if (sailed.empty() || plan.SmoothPolar(i) == 0 || g_aSmoothBackup.empty()) {
            continue;
        }
        plan.EndSmooth(i, false);
        PERF_POLAR& polar = plan.Polar(i);
        const auto [pMin, pMax] = std::minmax_element(sailed.begin(), sailed.end());
        for (int v = polar.GetVectorCount() - 1; v >= 0; --v) {
            const float fAngle = polar.m_aVectors[static_cast<std::size_t>(v)]->m_fAngle;
            if (!bExtrapolate && (fAngle < *pMin || fAngle > *pMax)) {
                polar.RemoveVector(v);
                ++result.nLeftOut;
            }
        }
        for (const auto& pVector : polar.m_aVectors) {
            if (std::find(sailed.begin(), sailed.end(), pVector->m_fAngle) == sailed.end()) {
                result.withoutData.emplace_back(polar.m_fWindSpeed, pVector->m_fAngle);
            }
        }
        result.nPoints += polar.GetVectorCount();
        if (const auto best = FindBestVmg(polar)) {
            polar.m_fTackingAngle = best->fUpwindAngle;
        }
        ++result.nPolars;
    }
    return result;
}

std::string FitText(const FitResult& fit, std::size_t nPolars, bool bExtrapolate) {
    std::string s = "fitted: ";
    s += std::to_string(fit.nPolars);
    s += " of ";
    s += std::to_string(nPolars);
    s += " polars, ";
    s += std::to_string(fit.nPoints);
    s += " points, ";
    s += std::to_string(fit.withoutData.size());
    s += " of them made by the fit where no sample was learned";
    if (!bExtrapolate) {
        s += "; ";
        s += std::to_string(fit.nLeftOut);
        s += " beyond the sailed angles left out (--extrapolate keeps them)";
    }
    s += "\n";
    if (!fit.withoutData.empty()) {
        s += "  made by the fit (kn/degrees):";
        for (const auto& [fWind, fAngle] : fit.withoutData) {
            s += " ";
            s += FormatExchangeNumber(fWind);
            s += "/";
            s += FormatExchangeNumber(fAngle);
        }
        s += "\n";
    }
    return s;
}

std::string FitJson(const FitResult& fit) {
    std::string s = std::to_string(fit.nPolars);
    s += ", \"fitted_points\": ";
    s += std::to_string(fit.nPoints);
    s += ", \"fitted_left_out\": ";
    s += std::to_string(fit.nLeftOut);
    s += ", \"fitted_without_data\": [";
    for (std::size_t i = 0; i < fit.withoutData.size(); ++i) {
        s += i == 0 ? "{\"wind_speed\": " : ", {\"wind_speed\": ";
        s += FormatExchangeNumber(fit.withoutData[i].first);
        s += ", \"angle\": ";
        s += FormatExchangeNumber(fit.withoutData[i].second);
        s += "}";
    }
    s += "]";
    return s;
}

// An empty holdout says so: no bin measured is no error measured, not an error of 0.
std::string HoldoutText(const HoldoutError& e) {
    if (e.nBins == 0) {
        return "held out: " + std::to_string(e.nLegs) + " legs, " + std::to_string(e.nSamples) +
               " samples; too few in any bin to measure the polar against (no error measured)\n";
    }
    return "held out: " + std::to_string(e.nLegs) + " legs, " + std::to_string(e.nSamples) +
           " samples; the polar against them in " + std::to_string(e.nBins) +
           " bins: median error " + FormatExchangeNumber(static_cast<float>(e.dMedian)) +
           " kn, 90th percentile " + FormatExchangeNumber(static_cast<float>(e.dPercentile90)) +
           " kn\n";
}

std::string HoldoutJson(const HoldoutError& e) {
    return "{\"legs\": " + std::to_string(e.nLegs) +
           ", \"samples\": " + std::to_string(e.nSamples) +
           ", \"bins\": " + std::to_string(e.nBins) + ", \"median_error\": " +
           (e.nBins == 0 ? std::string("null")
                         : FormatExchangeNumber(static_cast<float>(e.dMedian))) +
           ", \"p90_error\": " +
           (e.nBins == 0 ? std::string("null")
                         : FormatExchangeNumber(static_cast<float>(e.dPercentile90))) +
           "}";
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
    // The sensors' errors the sailing shows; with --calibrate, those it is sure of are taken
    // out of the points.
    const SensorEstimates& estimates = learner.Estimates();
    std::unique_ptr<SAILPLAN> pSailPlan =
        learner.Result(parsed.Option("--sail-plan").value_or("Measured"));
    const bool bExtrapolate = parsed.Flag("--extrapolate");
    const FitResult fit = parsed.Flag("--fit") ? FitPolars(*pSailPlan, bExtrapolate) : FitResult{};
    // Few points or none: the main cause said, on the terminal and in the report.
    const bool bFewPoints = pSailPlan->m_aPolars.empty() || learner.Points() < kFewPoints ||
                            MotoringOnly(learner.Counts());
    std::string strCause =
        bFewPoints ? MainCause(counts, learner.Counts(), options) : std::string();
    if (MotoringOnly(learner.Counts())) {
        pSailPlan->m_aPolars.clear();  // nothing of it is the boat sailing
        strCause = MotoringOnlyCause(learner.Counts());
    } else if (pSailPlan->m_aPolars.empty() && learner.FlatPolars() > 0) {
        strCause = "the boat went the same speed at every wind angle, as under engine (" +
                   std::to_string(learner.FlatPolars()) + " polars left out)";
    }
    summary << LogCountsText(counts) << learner.Summary();
    if (bFewPoints) {
        summary << "few points: " << strCause << "\n";
    }
    if (parsed.Flag("--fit")) {
        summary << FitText(fit, pSailPlan->m_aPolars.size(), bExtrapolate);
    }
    summary << CalibrationText(estimates, counts, bCalibrate);
    const HoldoutError holdout = learner.Holdout(*pSailPlan);
    if (options.fHoldoutPercent > 0) {
        summary << HoldoutText(holdout);
    }
    if (strReport) {
        const std::string strJson =
            "{" + learner.ReportJson() + ", " + LogCountsJson(counts) + ", \"calibration\": {" +
            CalibrationJson(estimates, bCalibrate) + "}" + ", \"fitted\": " + FitJson(fit) +
            ", \"holdout\": " +
            (options.fHoldoutPercent > 0 ? HoldoutJson(holdout) : std::string("null")) +
            ", \"cause\": " + (bFewPoints ? JsonText(strCause) : std::string("null")) + "}\n";
        if (!WriteOutput(*strReport, strJson, parsed.Flag("--force"), out, err)) {
            return kExitInputProblem;
        }
    }
    if (pSailPlan->m_aPolars.empty()) {
        if (MotoringOnly(learner.Counts())) {
            err << "polarctl: nothing written: " << strCause << "\n";
        } else {
            err << "polarctl: no wind speed has two points: nothing written (" << strCause << ")\n";
        }
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
