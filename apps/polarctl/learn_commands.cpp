// polarctl learn and compare: polars from the boat's own instrument logs, and the boat's
// sailing measured against a polar.
#include <cmath>
#include <filesystem>
#include <map>
#include <ostream>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/file_support.h"
#include "apps/polarctl/plausibility.h"
#include "apps/polarctl/polarctl.h"
#include "data/polar_file.h"
#include "data/text_encoding.h"
#include "exchange/exchange.h"
#include "exchange/polar_curve.h"
#include "logs/learner.h"

namespace {

bool ParseList(const std::string& strText, std::vector<float>& values) {
    values.clear();
    std::size_t nStart = 0;
    while (nStart <= strText.size()) {
        const std::size_t nComma = strText.find(',', nStart);
        const auto v = ParseExchangeNumber(
            std::string_view(strText).substr(
                nStart, nComma == std::string::npos ? std::string::npos : nComma - nStart),
            false);
        if (!v || *v <= 0 || (!values.empty() && *v <= values.back())) {
            return false;
        }
        values.push_back(*v);
        if (nComma == std::string::npos) {
            break;
        }
        nStart = nComma + 1;
    }
    return !values.empty();
}

// Reads every log into the function, printing what each held; false when one cannot be read.
bool ReadLogs(const std::vector<std::string>& aLogs, LogCounts& counts,
              const std::function<void(const LogSample&)>& sink,
              const std::function<void()>& newLog, std::ostream& err) {
    for (const std::string& strLog : aLogs) {
        newLog();
        std::string strError;
        if (!ReadLog(strLog, counts, sink, strError)) {
            err << "polarctl: " << strError << "\n";
            return false;
        }
    }
    return true;
}

void PrintCounts(std::ostream& out, const LogCounts& counts) {
    out << "lines: " << counts.nLines << ", bad lines skipped: " << counts.nBadLines << "\n";
    if (!counts.sentences.empty()) {
        out << "sentences:";
        for (const auto& [strType, n] : counts.sentences) {
            out << " " << strType << " " << n;
        }
        out << "\n";
    }
    if (counts.bSpeedOverGround) {
        out << "note: no speed through the water was logged; the boat speed is the speed over "
               "ground\n";
    }
    if (counts.bApparentWind) {
        out << "note: no true wind was logged; it was computed from the apparent wind and the "
               "boat speed\n";
    }
    if (counts.bTruncated) {
        out << "note: a compressed log ended early; what came before it was read\n";
    }
}

}  // namespace

int RunLearn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    std::string strError;
    if (!ParseArgs(args,
                   {"-o", "--sail-plan", "--wind-speeds", "--angle-step", "--percentile",
                    "--min-samples", "--report", "--steady-seconds"},
                   {"--append", "--force"}, parsed, strError) ||
        parsed.aPositional.empty()) {
        err << "polarctl: " << (strError.empty() ? "learn needs one or more logs" : strError)
            << " (see polarctl --help)\n";
        return kExitUsage;
    }
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
    // Told before the logs are read, which may take long.
    if (!CheckOutput(*strOut, err) || (strReport && !CheckOutput(*strReport, err)) ||
        (parsed.Flag("--append") && !CheckRewritable(*strOut, "--append", err))) {
        return kExitInputProblem;
    }
    // With the polar or the report on standard output, the summary goes to standard error.
    std::ostream& summary = bPolarToStandardOutput || bReportToStandardOutput ? err : out;
    LearnOptions options;
    if (const auto ws = parsed.Option("--wind-speeds"); ws && !ParseList(*ws, options.windSpeeds)) {
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
    float fSteady = static_cast<float>(options.dSteadySeconds);
    if (!number("--angle-step", 1, 45, options.fAngleStep) ||
        !number("--percentile", 1, 100, options.fPercentile) ||
        !number("--min-samples", 1, 1e9f, fMinSamples) ||
        !number("--steady-seconds", 0, 3600, fSteady)) {
        return kExitUsage;
    }
    options.nMinSamples = static_cast<int>(fMinSamples);
    options.dSteadySeconds = fSteady;

    Learner learner(options);
    LogCounts counts;
    if (!ReadLogs(
            parsed.aPositional, counts, [&](const LogSample& s) { learner.Add(s); },
            [&] { learner.NewLog(); }, err)) {
        return kExitInputProblem;
    }
    PrintCounts(summary, counts);
    summary << learner.Summary();
    std::unique_ptr<SAILPLAN> pSailPlan =
        learner.Result(parsed.Option("--sail-plan").value_or("Measured"));
    if (strReport) {
        if (!WriteOutput(*strReport, learner.ReportJson(), parsed.Flag("--force"), out, err)) {
            return kExitInputProblem;
        }
    }
    if (pSailPlan->m_aPolars.empty()) {
        err << "polarctl: no wind speed has two points: nothing written\n";
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

int RunCompare(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    std::string strError;
    if (!ParseArgs(args, {"--sail-plan", "--steady-seconds"}, {"--json"}, parsed, strError) ||
        parsed.aPositional.size() < 2 || !parsed.Option("--sail-plan")) {
        err << "polarctl: "
            << (strError.empty() ? "compare needs LOG... POLAR.PPD --sail-plan INDEX|NAME"
                                 : strError)
            << " (see polarctl --help)\n";
        return kExitUsage;
    }
    if (!ReadsStandardInputOnce(parsed.aPositional, err)) {
        return kExitUsage;
    }
    const std::string strFile = parsed.aPositional.back();
    const std::vector<std::string> aLogs(parsed.aPositional.begin(), parsed.aPositional.end() - 1);
    PolarFileContents contents;
    if (!LoadOrComplain(strFile, contents, err)) {
        return kExitInputProblem;
    }
    const int nSailPlan = FindSailPlan(contents.aSailPlans, *parsed.Option("--sail-plan"));
    if (nSailPlan < 0) {
        err << "polarctl: " << strFile << " has no sail plan " << *parsed.Option("--sail-plan")
            << "\n";
        return kExitUsage;
    }
    SAILPLAN& plan = *contents.aSailPlans[static_cast<std::size_t>(nSailPlan)];
    SortSailPlan(plan);
    LearnOptions options;
    SteadyFilter filter(options.dSteadySeconds);
    Bins bins(options);
    std::map<std::pair<int, int>, Distribution> ratios;
    Distribution overall(0.1, 300.0);
    const auto polarSpeed = [&plan](const LogSample& s) -> std::optional<double> {
        const auto& polars = plan.m_aPolars;
        for (std::size_t i = 0; i + 1 < polars.size() || (i == 0 && polars.size() == 1); ++i) {
            const PERF_POLAR& a = *polars[i];
            const PERF_POLAR& b = polars.size() == 1 ? a : *polars[i + 1];
            if (s.fWindSpeed < a.m_fWindSpeed || s.fWindSpeed > b.m_fWindSpeed) {
                continue;
            }
            const auto va = SpeedOnCurve(a, s.fWindAngle);
            const auto vb = SpeedOnCurve(b, s.fWindAngle);
            if (!va || !vb) {
                return std::nullopt;
            }
            const double t = b.m_fWindSpeed > a.m_fWindSpeed ? (s.fWindSpeed - a.m_fWindSpeed) /
                                                                   (b.m_fWindSpeed - a.m_fWindSpeed)
                                                             : 0.0;
            return *va + t * (*vb - *va);
        }
        return std::nullopt;
    };
    std::uint64_t nCompared = 0;
    LogCounts counts;
    const bool bRead = ReadLogs(
        aLogs, counts,
        [&](const LogSample& s) {
            const int nWind = bins.WindBin(s.fWindSpeed);
            if (!filter.Keep(s) || nWind < 0) {
                return;
            }
            const auto speed = polarSpeed(s);
            if (!speed || *speed <= 0) {
                return;
            }
            const double dPercent = 100.0 * s.fBoatSpeed / *speed;
            auto it = ratios.find({nWind, bins.AngleBin(s.fWindAngle)});
            if (it == ratios.end()) {
                it = ratios
                         .emplace(std::make_pair(nWind, bins.AngleBin(s.fWindAngle)),
                                  Distribution(0.1, 300.0))
                         .first;
            }
            it->second.Add(dPercent);
            overall.Add(dPercent);
            ++nCompared;
        },
        [&] { filter.NewLog(); }, err);
    if (!bRead) {
        return kExitInputProblem;
    }
    const auto pct = [](double d) { return FormatExchangeNumber(static_cast<float>(d)); };
    if (parsed.Flag("--json")) {
        out << "{\"samples\": " << nCompared
            << ", \"median_percent\": " << pct(overall.Percentile(50)) << ", \"bins\": [";
        bool bFirst = true;
        for (const auto& [key, d] : ratios) {
            out << (bFirst ? "\n  " : ",\n  ") << "{\"wind_speed\": "
                << FormatExchangeNumber(options.windSpeeds[static_cast<std::size_t>(key.first)])
                << ", \"angle\": " << FormatExchangeNumber(bins.Angle(key.second))
                << ", \"samples\": " << d.Count()
                << ", \"median_percent\": " << pct(d.Percentile(50))
                << ", \"p10_percent\": " << pct(d.Percentile(10))
                << ", \"p90_percent\": " << pct(d.Percentile(90)) << "}";
            bFirst = false;
        }
        out << (bFirst ? "]}\n" : "\n]}\n");
        return kExitOk;
    }
    PrintCounts(out, counts);
    out << "compared " << nCompared << " samples with \"" << DecodeForDisplay(plan.m_strName)
        << "\": median " << pct(overall.Percentile(50)) << " %\n";
    out << "wind kn  angle  samples  median %  10th %  90th %\n";
    for (const auto& [key, d] : ratios) {
        out << FormatExchangeNumber(options.windSpeeds[static_cast<std::size_t>(key.first)]) << "\t"
            << FormatExchangeNumber(bins.Angle(key.second)) << "\t" << d.Count() << "\t"
            << pct(d.Percentile(50)) << "\t" << pct(d.Percentile(10)) << "\t"
            << pct(d.Percentile(90)) << "\n";
    }
    return kExitOk;
}
