#include "logs/learner.h"

#include <algorithm>
#include <cmath>

#include "exchange/exchange.h"
#include "exchange/polar_curve.h"

Learner::Learner(LearnOptions options)
    : m_options(std::move(options)),
      m_stages(m_options, [this](const LogSample& s, int nWind) { Keep(s, nWind); }),
      m_nAngleBins(static_cast<int>(std::lround(180.0f / m_options.fAngleStep)) + 1),
      m_bins(m_options.windSpeeds.size() * static_cast<std::size_t>(m_nAngleBins)),
      m_held(m_bins.size()),
      m_calibration(m_options.windSpeeds.size()),
      m_nHoldoutPercent(static_cast<std::uint64_t>(std::lround(m_options.fHoldoutPercent))) {
    if (m_options.bSelfCalibrate) {
        m_pDegrees = std::make_unique<DegreeBins>(m_options.windSpeeds.size());
        m_pHeldDegrees = std::make_unique<DegreeBins>(m_options.windSpeeds.size());
    }
}

void Learner::Finish() {
    m_stages.Finish();
    if (!m_bFinished) {
        m_bFinished = true;
        m_estimates = m_calibration.Estimate();
    }
    if (m_pDegrees != nullptr) {
        MakeBinsFromDegrees();
        m_pDegrees.reset();
        m_pHeldDegrees.reset();
    }
}

Learner::Bin& Learner::BinAt(std::size_t nIndex) {
    auto& pBin = m_bins[nIndex];
    if (pBin == nullptr) {
        pBin = std::make_unique<Bin>();
    }
    return *pBin;
}

Distribution& Learner::HeldAt(std::size_t nIndex) {
    auto& pHeld = m_held[nIndex];
    if (pHeld == nullptr) {
        pHeld = std::make_unique<Distribution>(0.01, 60.0);
    }
    return *pHeld;
}

void Learner::MakeBinsFromDegrees() {
    m_selfCalibration = m_estimates.Applied();
    const auto index = [&](int nWind, float fAngle) {
        const int nAngle = std::clamp(m_stages.GetBins().AngleBin(fAngle), 0, m_nAngleBins - 1);
        return static_cast<std::size_t>(nWind * m_nAngleBins + nAngle);
    };
    m_pDegrees->ForEach(m_selfCalibration, [&](int nWind, float fAngle, bool bPort,
                                               const Distribution& speeds, double dScale) {
        Bin& bin = BinAt(index(nWind, fAngle));
        bin.speeds.AddScaled(speeds, dScale);
        bin.nPort += bPort ? speeds.Count() : 0;
    });
    m_pHeldDegrees->ForEach(m_selfCalibration, [&](int nWind, float fAngle, bool /*bPort*/,
                                                   const Distribution& speeds, double dScale) {
        HeldAt(index(nWind, fAngle)).AddScaled(speeds, dScale);
    });
}

bool Learner::HeldOut(std::uint64_t nLeg) const {
    // Leg n is held out when n * P passes a multiple of 100: P in every 100, spread evenly.
    return m_nHoldoutPercent > 0 && (nLeg * m_nHoldoutPercent) % 100 < m_nHoldoutPercent;
}

void Learner::Keep(const LogSample& sample, int nWind) {
    const int nAngle =
        std::clamp(m_stages.GetBins().AngleBin(sample.fWindAngle), 0, m_nAngleBins - 1);
    const auto nIndex = static_cast<std::size_t>(nWind * m_nAngleBins + nAngle);
    m_calibration.Add(sample, nWind, m_stages.Legs());
    const bool bHeld = HeldOut(m_stages.Legs());
    if (bHeld) {
        m_nHeldLegs += m_stages.Legs() != m_nLastHeldLeg ? 1 : 0;
        m_nLastHeldLeg = m_stages.Legs();
        ++m_nHeldSamples;
    }
    if (m_pDegrees != nullptr) {
        (bHeld ? *m_pHeldDegrees : *m_pDegrees).Add(sample, nWind);
    } else if (bHeld) {
        HeldAt(nIndex).Add(sample.fBoatSpeed);
    } else {
        Bin& bin = BinAt(nIndex);
        bin.speeds.Add(sample.fBoatSpeed);
        bin.nPort += sample.bPort ? 1 : 0;
    }
}

namespace {

// The share of the samples under way (not at rest) dropped as motoring, in percent; with
// bSign, "12.5 %".
std::string MotoringShare(const StageCounts& c, bool bSign = true) {
    const std::uint64_t nUnderWay = c.nSamples - c.nAtRest;
    const double d =
        nUnderWay == 0 ? 0.0
                       : 100.0 * static_cast<double>(c.Motoring()) / static_cast<double>(nUnderWay);
    return FormatExchangeNumber(static_cast<float>(d)) + (bSign ? " %" : "");
}

// Whether a polar's points are the same speed at every angle over 90 degrees or more, as only
// an engine makes them: under sail the speed changes by more than a tenth between the beat, the
// reach and the run.
bool LooksMotored(const PERF_POLAR& polar) {
    constexpr std::size_t kMinPoints = 4;
    if (polar.m_aVectors.size() < kMinPoints ||
        polar.m_aVectors.back()->m_fAngle - polar.m_aVectors.front()->m_fAngle < 90.0f) {
        return false;
    }
    std::vector<float> speeds;
    for (const auto& pVector : polar.m_aVectors) {
        speeds.push_back(pVector->m_fSpeed);
    }
    std::sort(speeds.begin(), speeds.end());
    const float fMedian = speeds[speeds.size() / 2];
    return speeds.front() >= 0.95f * fMedian && speeds.back() <= 1.05f * fMedian;
}

}  // namespace

std::unique_ptr<SAILPLAN> Learner::Result(const std::string& strName) {
    Finish();
    m_nFlatPolars = 0;
    const Bins& bins = m_stages.GetBins();
    auto pSailPlan = std::make_unique<SAILPLAN>(strName);
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        auto pPolar = std::make_unique<PERF_POLAR>(m_options.windSpeeds[w], 0.0f);
        for (int a = 0; a < m_nAngleBins; ++a) {
            const Bin* pBin = At(static_cast<int>(w), a);
            if (IsPoint(pBin)) {
                pPolar->InsertVector(
                    pPolar->GetVectorCount(), bins.Angle(a),
                    static_cast<float>(pBin->speeds.Percentile(m_options.fPercentile)));
            }
        }
        if (LooksMotored(*pPolar)) {
            ++m_nFlatPolars;
            continue;
        }
        if (pPolar->GetVectorCount() >= 2) {
            if (const auto best = FindBestVmg(*pPolar)) {
                pPolar->m_fTackingAngle = best->fUpwindAngle;
            }
            pSailPlan->m_aPolars.push_back(std::move(pPolar));
        }
    }
    return pSailPlan;
}

int Learner::Points() const {
    int nPoints = 0;
    for (const auto& pBin : m_bins) {
        nPoints += IsPoint(pBin.get()) ? 1 : 0;
    }
    return nPoints;
}

int Learner::PointsAt(int nWind) const {
    int nPoints = 0;
    for (int a = 0; a < m_nAngleBins; ++a) {
        nPoints += IsPoint(At(nWind, a)) ? 1 : 0;
    }
    return nPoints;
}

std::string Learner::Summary() const {
    const StageCounts& c = Counts();
    std::string s = "samples: " + std::to_string(c.nSamples) +
                    ", kept: " + std::to_string(c.nKept) + " (dropped: at rest " +
                    std::to_string(c.nAtRest) + ", excluded " + std::to_string(c.nExcluded) +
                    ", engine running " + std::to_string(c.nEngine) + ", looked like motoring " +
                    std::to_string(c.nMotoring) + ", not steady " + std::to_string(c.nUnsteady) +
                    ", outside the wind speeds " + std::to_string(c.nOutside) + ")\n";
    s += "motoring: " + MotoringShare(c) + " of the samples under way dropped as motoring\n";
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        const int nPoints = PointsAt(static_cast<int>(w));
        s += "  " + FormatExchangeNumber(m_options.windSpeeds[w]) +
             " kn: " + std::to_string(nPoints) + (nPoints == 1 ? " point" : " points") +
             (nPoints < 2 ? " (no polar)" : "") + "\n";
    }
    if (m_nFlatPolars > 0) {
        s += "left out: " + std::to_string(m_nFlatPolars) +
             (m_nFlatPolars == 1 ? " polar" : " polars") +
             " with the same speed at every angle, as under engine\n";
    }
    return s;
}

std::string Learner::ReportJson() const {
    const StageCounts& c = Counts();
    std::string s = "\"samples\": " + std::to_string(c.nSamples) +
                    ", \"at_rest\": " + std::to_string(c.nAtRest) +
                    ", \"excluded\": " + std::to_string(c.nExcluded) +
                    ", \"engine_running\": " + std::to_string(c.nEngine) +
                    ", \"looked_like_motoring\": " + std::to_string(c.nMotoring) +
                    ", \"not_steady\": " + std::to_string(c.nUnsteady) +
                    ", \"outside_wind_speeds\": " + std::to_string(c.nOutside) +
                    ", \"kept\": " + std::to_string(c.nKept) +
                    ", \"motoring_percent\": " + MotoringShare(c, false) +
                    ", \"flat_polars_left_out\": " + std::to_string(m_nFlatPolars) +
                    ", \"wind_speeds\": [";
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        s += w == 0 ? "" : ", ";
        s += "{\"wind_speed\": ";
        s += FormatExchangeNumber(m_options.windSpeeds[w]);
        s += ", \"points\": ";
        s += std::to_string(PointsAt(static_cast<int>(w)));
        s += "}";
    }
    s += "], \"bins\": [";
    const Bins& bins = m_stages.GetBins();
    bool bFirst = true;
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        for (int a = 0; a < m_nAngleBins; ++a) {
            const Bin* pBin = At(static_cast<int>(w), a);
            if (pBin == nullptr) {
                continue;
            }
            const Distribution& speeds = pBin->speeds;
            const bool bBothTacks = pBin->nPort > 0 && pBin->nPort < speeds.Count();
            s += bFirst ? "\n  " : ",\n  ";
            bFirst = false;
            s +=
                "{\"wind_speed\": " + FormatExchangeNumber(m_options.windSpeeds[w]) +
                ", \"angle\": " + FormatExchangeNumber(bins.Angle(a)) +
                ", \"count\": " + std::to_string(speeds.Count()) + ", \"percentile\": " +
                FormatExchangeNumber(static_cast<float>(speeds.Percentile(m_options.fPercentile))) +
                ", \"mean\": " + FormatExchangeNumber(static_cast<float>(speeds.Mean())) +
                ", \"spread\": " + FormatExchangeNumber(static_cast<float>(speeds.Spread())) +
                ", \"both_tacks\": " + (bBothTacks ? "true" : "false") +
                ", \"point\": " + (IsPoint(pBin) ? "true" : "false") + "}";
        }
    }
    s += bFirst ? "]" : "\n]";
    return s;
}

HoldoutError Learner::Holdout(const SAILPLAN& learned) const {
    HoldoutError error;
    error.nLegs = m_nHeldLegs;
    error.nSamples = m_nHeldSamples;
    const Bins& bins = m_stages.GetBins();
    std::vector<double> differences;
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        const PERF_POLAR* pPolar = nullptr;
        for (const auto& p : learned.m_aPolars) {
            pPolar = p->m_fWindSpeed == m_options.windSpeeds[w] ? p.get() : pPolar;
        }
        for (int a = 0; a < m_nAngleBins && pPolar != nullptr; ++a) {
            const Distribution* pHeld =
                m_held[w * static_cast<std::size_t>(m_nAngleBins) + static_cast<std::size_t>(a)]
                    .get();
            if (pHeld == nullptr ||
                pHeld->Count() < static_cast<std::uint64_t>(m_options.nMinSamples)) {
                continue;
            }
            if (const auto speed = SpeedOnCurve(*pPolar, bins.Angle(a))) {
                differences.push_back(std::fabs(pHeld->Percentile(m_options.fPercentile) - *speed));
            }
        }
    }
    if (differences.empty()) {
        return error;
    }
    std::sort(differences.begin(), differences.end());
    const auto rank = [&](double dPercent) {
        const auto n = static_cast<std::size_t>(
            std::ceil(dPercent / 100.0 * static_cast<double>(differences.size())));
        return differences[std::max<std::size_t>(n, 1) - 1];
    };
    error.nBins = static_cast<int>(differences.size());
    error.dMedian = rank(50);
    error.dPercentile90 = rank(90);
    return error;
}
