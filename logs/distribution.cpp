#include "logs/distribution.h"

#include <algorithm>
#include <cmath>

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

void Distribution::AddScaled(const Distribution& other, double dScale) {
    const double dLast = static_cast<double>(m_aBuckets.size() - 1);
    for (std::size_t i = 0; i < other.m_aBuckets.size(); ++i) {
        if (other.m_aBuckets[i] == 0) {
            continue;
        }
        const double dValue = static_cast<double>(i) * other.m_dResolution * dScale;
        const double dIndex = std::clamp(std::round(dValue / m_dResolution), 0.0, dLast);
        m_aBuckets[static_cast<std::size_t>(dIndex)] += other.m_aBuckets[i];
    }
    m_nCount += other.m_nCount;
    m_dSum += other.m_dSum * dScale;
    m_dSumOfSquares += other.m_dSumOfSquares * dScale * dScale;
}
