#include "logs/calibration_report.h"

#include <charconv>
#include <cmath>

namespace {

// A number with a fixed count of decimals, a point whatever the locale.
std::string Fixed(double d, int nDecimals) {
    char sz[64];
    const auto [end, ec] =
        std::to_chars(sz, sz + sizeof sz, d, std::chars_format::fixed, nDecimals);
    std::string s = ec == std::errc() ? std::string(sz, end) : std::string("0");
    if (!s.empty() && s[0] == '-' && s.find_first_of("123456789") == std::string::npos) {
        s.erase(0, 1);  // no "-0.0"
    }
    return s;
}

std::string Applying(bool bCalibrate) {
    return bCalibrate ? "; applied\n" : "; --calibrate applies it\n";
}

std::string JsonNumber(const std::optional<double>& value, int nDecimals) {
    return value ? Fixed(*value, nDecimals) : std::string("null");
}

std::string JsonEstimate(const SensorEstimate& e, int nDecimals, const char* pszSupport,
                         bool bApplied) {
    std::string s = "{\"value\": ";
    s += JsonNumber(e.value, nDecimals);
    s += ", \"interval\": ";
    if (e.bInterval) {
        s += "[";
        s += Fixed(e.dLow, nDecimals);
        s += ", ";
        s += Fixed(e.dHigh, nDecimals);
        s += "]";
    } else {
        s += "null";
    }
    s += ", \"";
    s += pszSupport;
    s += "\": ";
    s += std::to_string(e.nSupport);
    s += e.bAtBound ? ", \"at_limit\": true" : ", \"at_limit\": false";
    s += e.bApply ? ", \"sure\": true" : ", \"sure\": false";
    s += bApplied ? ", \"applied\": true}" : ", \"applied\": false}";
    return s;
}

}  // namespace

std::string CalibrationText(const SensorEstimates& estimates, const LogCounts& counts,
                            bool bCalibrate) {
    const SensorEstimate& a = estimates.angleOffset;
    const std::string strPairs =
        std::to_string(a.nSupport) + (a.nSupport == 1 ? " tack pair" : " tack pairs");
    std::string s = "wind angle offset: ";
    if (!a.value) {
        s += "unknown (too little sailed on both tacks at the same wind speed and angle)\n";
    } else if (a.bAtBound) {
        s += "not applied (the search reached its limit of " +
             Fixed(CalibrationEstimator::kMaxOffset, 0) + "°, " + strPairs + ")\n";
    } else if (!a.bInterval) {
        s += "not applied (too few steady legs to say how sure, " + strPairs + ")\n";
    } else if (!a.bApply) {
        s += "not applied (±" + Fixed(a.HalfWidth(), 1) + "°, " + strPairs + ")\n";
    } else {
        s += Fixed(*a.value, 1) + "° (±" + Fixed(a.HalfWidth(), 1) + "°, " + strPairs + ")" +
             Applying(bCalibrate);
    }
    const SensorEstimate& f = estimates.speedFactor;
    const std::string strGround = std::to_string(f.nSupport) + " samples over ground";
    s += "boat speed factor: ";
    if (!f.value) {
        if (f.nSupport > 0) {
            s += "unknown (headings too alike to tell the log's error from the current, " +
                 strGround + ")\n";
        } else if (counts.nMagneticHeadingReadings > 0 && counts.nTrueHeadingReadings == 0) {
            s += "unknown (the heading is magnetic and no variation was logged: no true "
                 "heading to set against the course over ground)\n";
        } else {
            s += "unknown (no true heading with speed and course over ground)\n";
        }
    } else if (!f.bInterval) {
        s += "not applied (too few steady legs to say how sure, " + strGround + ")\n";
    } else if (!f.bApply) {
        s += "not applied (" + Fixed(*f.value, 3) + " ±" + Fixed(f.HalfWidth(), 3) + ", " +
             strGround + ")\n";
    } else {
        s += Fixed(*f.value, 3) + " (±" + Fixed(f.HalfWidth(), 3) + ", " + strGround + ")" +
             Applying(bCalibrate);
    }
    return s;
}

std::string CalibrationJson(const SensorEstimates& estimates, bool bCalibrate) {
    const bool bOffset = bCalibrate && estimates.angleOffset.bApply;
    const bool bFactor = bCalibrate && estimates.speedFactor.bApply;
    return "\"angle_offset\": " + JsonEstimate(estimates.angleOffset, 2, "tack_pairs", bOffset) +
           ", \"speed_factor\": " +
           JsonEstimate(estimates.speedFactor, 4, "ground_samples", bFactor) +
           ", \"applied\": " + (bOffset || bFactor ? "true" : "false");
}
