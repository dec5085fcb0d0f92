#include "logs/learner.h"

#include <algorithm>
#include <cmath>

#include "exchange/exchange.h"

Learner::Learner(LearnOptions options)
    : m_options(std::move(options)),
      m_filter(m_options.dSteadySeconds),
      m_bins(m_options),
      m_nAngleBins(static_cast<int>(std::lround(180.0f / m_options.fAngleStep)) + 1),
      m_speeds(m_options.windSpeeds.size() * static_cast<std::size_t>(m_nAngleBins)) {}

void Learner::Add(const LogSample& sample) {
    ++m_nSamples;
    m_nSailing += m_filter.Sailing(sample) ? 1 : 0;
    if (!m_filter.Keep(sample)) {
        return;
    }
    ++m_nSteady;
    const int nWind = m_bins.WindBin(sample.fWindSpeed);
    if (nWind < 0) {
        return;
    }
    ++m_nBinned;
    const int nAngle = std::clamp(m_bins.AngleBin(sample.fWindAngle), 0, m_nAngleBins - 1);
    auto& pSpeeds = m_speeds[static_cast<std::size_t>(nWind * m_nAngleBins + nAngle)];
    if (pSpeeds == nullptr) {
        pSpeeds = std::make_unique<Distribution>(0.01, 60.0);
    }
    pSpeeds->Add(sample.fBoatSpeed);
}

std::unique_ptr<SAILPLAN> Learner::Result(const std::string& strName) const {
    auto pSailPlan = std::make_unique<SAILPLAN>(strName);
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        auto pPolar = std::make_unique<PERF_POLAR>(m_options.windSpeeds[w], 0.0f);
        for (int a = 0; a < m_nAngleBins; ++a) {
            const Distribution* pSpeeds = Speeds(static_cast<int>(w), a);
            if (IsPoint(pSpeeds)) {
                pPolar->InsertVector(
                    pPolar->GetVectorCount(), m_bins.Angle(a),
                    static_cast<float>(pSpeeds->Percentile(m_options.fPercentile)));
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

std::string Learner::Summary() const {
    std::string s = "samples: " + std::to_string(m_nSamples) +
                    ", sailing: " + std::to_string(m_nSailing) +
                    ", steady: " + std::to_string(m_nSteady) +
                    ", in a wind speed bin: " + std::to_string(m_nBinned) + "\n";
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        int nPoints = 0;
        for (int a = 0; a < m_nAngleBins; ++a) {
            nPoints += IsPoint(Speeds(static_cast<int>(w), a)) ? 1 : 0;
        }
        s += "  " + FormatExchangeNumber(m_options.windSpeeds[w]) +
             " kn: " + std::to_string(nPoints) + (nPoints == 1 ? " point" : " points") +
             (nPoints < 2 ? " (no polar)" : "") + "\n";
    }
    return s;
}

std::string Learner::ReportJson() const {
    std::string s = "{\"samples\": " + std::to_string(m_nSamples) +
                    ", \"sailing\": " + std::to_string(m_nSailing) +
                    ", \"steady\": " + std::to_string(m_nSteady) +
                    ", \"binned\": " + std::to_string(m_nBinned) + ", \"bins\": [";
    bool bFirst = true;
    for (std::size_t w = 0; w < m_options.windSpeeds.size(); ++w) {
        for (int a = 0; a < m_nAngleBins; ++a) {
            const Distribution* pSpeeds = Speeds(static_cast<int>(w), a);
            if (pSpeeds == nullptr) {
                continue;
            }
            const Distribution& speeds = *pSpeeds;
            s += bFirst ? "\n  " : ",\n  ";
            bFirst = false;
            s +=
                "{\"wind_speed\": " + FormatExchangeNumber(m_options.windSpeeds[w]) +
                ", \"angle\": " + FormatExchangeNumber(m_bins.Angle(a)) +
                ", \"count\": " + std::to_string(speeds.Count()) + ", \"percentile\": " +
                FormatExchangeNumber(static_cast<float>(speeds.Percentile(m_options.fPercentile))) +
                ", \"mean\": " + FormatExchangeNumber(static_cast<float>(speeds.Mean())) +
                ", \"spread\": " + FormatExchangeNumber(static_cast<float>(speeds.Spread())) +
                ", \"point\": " +
                (speeds.Count() >= static_cast<std::uint64_t>(m_options.nMinSamples) ? "true"
                                                                                     : "false") +
                "}";
        }
    }
    s += bFirst ? "]}\n" : "\n]}\n";
    return s;
}
