#include "logs/learner.h"

#include <algorithm>
#include <cmath>

#include "exchange/exchange.h"

Learner::Learner(LearnOptions options)
    : m_options(std::move(options)),
      m_stages(m_options, [this](const LogSample& s, int nWind) { Keep(s, nWind); }),
      m_nAngleBins(static_cast<int>(std::lround(180.0f / m_options.fAngleStep)) + 1),
      m_bins(m_options.windSpeeds.size() * static_cast<std::size_t>(m_nAngleBins)) {}

void Learner::Keep(const LogSample& sample, int nWind) {
    const int nAngle =
        std::clamp(m_stages.GetBins().AngleBin(sample.fWindAngle), 0, m_nAngleBins - 1);
    auto& pBin = m_bins[static_cast<std::size_t>(nWind * m_nAngleBins + nAngle)];
    if (pBin == nullptr) {
        pBin = std::make_unique<Bin>();
    }
    pBin->speeds.Add(sample.fBoatSpeed);
    pBin->nPort += sample.bPort ? 1 : 0;
}

std::unique_ptr<SAILPLAN> Learner::Result(const std::string& strName) {
    Finish();
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
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        const int nPoints = PointsAt(static_cast<int>(w));
        s += "  " + FormatExchangeNumber(m_options.windSpeeds[w]) +
             " kn: " + std::to_string(nPoints) + (nPoints == 1 ? " point" : " points") +
             (nPoints < 2 ? " (no polar)" : "") + "\n";
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
                    ", \"kept\": " + std::to_string(c.nKept) + ", \"wind_speeds\": [";
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
