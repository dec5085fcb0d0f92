#include "logs/learner.h"

#include <algorithm>
#include <cmath>

#include "exchange/exchange.h"
#include "exchange/polar_curve.h"

Distribution::Distribution(double dResolution, double dMaximum)
    : m_dResolution(dResolution),
      m_aBuckets(static_cast<std::size_t>(dMaximum / dResolution) + 1, 0) {}

void Distribution::Add(double d) {
    const double dIndex =
        std::clamp(std::round(d / m_dResolution), 0.0, static_cast<double>(m_aBuckets.size() - 1));
    ++m_aBuckets[static_cast<std::size_t>(dIndex)];
    ++m_nCount;
    m_dSum += d;
    m_dSumOfSquares += d * d;
}

double Distribution::Mean() const {
    return m_nCount > 0 ? m_dSum / static_cast<double>(m_nCount) : 0.0;
}

double Distribution::Spread() const {
    if (m_nCount < 2) {
        return 0.0;
    }
    const double dMean = Mean();
    const double dVariance = m_dSumOfSquares / static_cast<double>(m_nCount) - dMean * dMean;
    return std::sqrt(std::max(dVariance, 0.0));
}

double Distribution::Percentile(double dPercent) const {
    if (m_nCount == 0) {
        return 0.0;
    }
    // Nearest rank.
    const auto nRank = static_cast<std::uint64_t>(
        std::max(1.0, std::ceil(dPercent / 100.0 * static_cast<double>(m_nCount))));
    std::uint64_t nSeen = 0;
    for (std::size_t i = 0; i < m_aBuckets.size(); ++i) {
        nSeen += m_aBuckets[i];
        if (nSeen >= nRank) {
            return static_cast<double>(i) * m_dResolution;
        }
    }
    return static_cast<double>(m_aBuckets.size() - 1) * m_dResolution;
}

bool SteadyFilter::Steady(const LogSample& sample) {
    while (!m_window.empty() && (m_window.front().dTime < sample.dTime - m_dSeconds ||
                                 m_window.front().dTime > sample.dTime)) {
        m_window.pop_front();
    }
    // The window must reach back over (nearly) the whole span: a moment after a gap is not
    // known to be steady yet.
    bool bSteady = !m_window.empty() && m_window.front().dTime <= sample.dTime - m_dSeconds + 1.5;
    for (const LogSample& s : m_window) {
        if (!bSteady) {
            break;
        }
        bSteady = std::fabs(s.fWindAngle - sample.fWindAngle) <= 10.0f &&
                  std::fabs(s.fWindSpeed - sample.fWindSpeed) <= 0.2f * sample.fWindSpeed &&
                  std::fabs(s.fBoatSpeed - sample.fBoatSpeed) <= 0.15f * sample.fBoatSpeed;
    }
    m_window.push_back(sample);
    return bSteady;
}

int Bins::WindBin(float fWindSpeed) const {
    const auto& ws = m_options.windSpeeds;
    int nBest = -1;
    for (std::size_t i = 0; i < ws.size(); ++i) {
        if (nBest < 0 || std::fabs(ws[i] - fWindSpeed) <
                             std::fabs(ws[static_cast<std::size_t>(nBest)] - fWindSpeed)) {
            nBest = static_cast<int>(i);
        }
    }
    if (nBest < 0) {
        return -1;
    }
    const auto i = static_cast<std::size_t>(nBest);
    // Farther than half the gap to the neighbour on the sample's side: dropped.
    const bool bAbove = fWindSpeed > ws[i];
    float fHalfGap = 0;
    if (bAbove) {
        fHalfGap =
            i + 1 < ws.size() ? (ws[i + 1] - ws[i]) / 2 : (i > 0 ? (ws[i] - ws[i - 1]) / 2 : 1);
    } else {
        fHalfGap =
            i > 0 ? (ws[i] - ws[i - 1]) / 2 : (i + 1 < ws.size() ? (ws[i + 1] - ws[i]) / 2 : 1);
    }
    return std::fabs(fWindSpeed - ws[i]) <= fHalfGap ? nBest : -1;
}

int Bins::AngleBin(float fAngle) const {
    return static_cast<int>(std::lround(fAngle / m_options.fAngleStep));
}

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
