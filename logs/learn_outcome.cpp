#include "logs/learn_outcome.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "exchange/exchange.h"
#include "logs/calibration_report.h"
#include "logs/logs.h"
#include "smoothing/polar_smoothing.h"

namespace {

// Fewer points than this, and learn says the main cause of so few.
constexpr int kFewPoints = 10;

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

}  // namespace

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

LearnOutcome FinishLearning(Learner& learner, const LogCounts& counts, const LearnOptions& options,
                            const std::string& strName, bool bFit, bool bExtrapolate) {
    LearnOutcome outcome;
    learner.Finish();
    // The sensors' errors the sailing shows; self-calibrating, those it is sure of are taken
    // out of the points.
    const SensorEstimates& estimates = learner.Estimates();
    outcome.pSailPlan = learner.Result(strName);
    SAILPLAN& plan = *outcome.pSailPlan;
    const FitResult fit = bFit ? FitPolars(plan, bExtrapolate) : FitResult{};
    // Few points or none: the main cause said, in the summary and in the report.
    outcome.bMotoringOnly = MotoringOnly(learner.Counts());
    const bool bFewPoints =
        plan.m_aPolars.empty() || learner.Points() < kFewPoints || outcome.bMotoringOnly;
    if (bFewPoints) {
        outcome.strCause = MainCause(counts, learner.Counts(), options);
    }
    if (outcome.bMotoringOnly) {
        plan.m_aPolars.clear();  // nothing of it is the boat sailing
        outcome.strCause = MotoringOnlyCause(learner.Counts());
    } else if (plan.m_aPolars.empty() && learner.FlatPolars() > 0) {
        outcome.strCause = "the boat went the same speed at every wind angle, as under engine (" +
                           std::to_string(learner.FlatPolars()) + " polars left out)";
    }
    outcome.strSummary = LogCountsText(counts) + learner.Summary();
    if (bFewPoints) {
        outcome.strSummary.append("few points: ").append(outcome.strCause).append("\n");
    }
    if (bFit) {
        outcome.strSummary += FitText(fit, plan.m_aPolars.size(), bExtrapolate);
    }
    outcome.strSummary += CalibrationText(estimates, counts, options.bSelfCalibrate);
    const HoldoutError holdout = learner.Holdout(plan);
    if (options.fHoldoutPercent > 0) {
        outcome.strSummary += HoldoutText(holdout);
    }
    std::string& json = outcome.strReportJson;
    json.append("{").append(learner.ReportJson()).append(", ").append(LogCountsJson(counts));
    json.append(", \"calibration\": {")
        .append(CalibrationJson(estimates, options.bSelfCalibrate))
        .append("}, \"fitted\": ")
        .append(FitJson(fit))
        .append(", \"holdout\": ")
        .append(options.fHoldoutPercent > 0 ? HoldoutJson(holdout) : std::string("null"))
        .append(", \"cause\": ")
        .append(bFewPoints ? JsonText(outcome.strCause) : std::string("null"))
        .append("}");
    return outcome;
}

std::string NothingLearnedReason(const LearnOutcome& outcome) {
    std::string strReason = outcome.bMotoringOnly
                                ? "nothing written: "
                                : "no wind speed has two points: nothing written (";
    strReason.append(outcome.strCause);
    if (!outcome.bMotoringOnly) {
        strReason.append(")");
    }
    return strReason;
}
