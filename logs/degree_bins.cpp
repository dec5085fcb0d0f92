#include "logs/degree_bins.h"

#include <algorithm>
#include <cmath>

#include "logs/log_values.h"

void DegreeBins::Add(const LogSample& sample, int nWindBin) {
    const auto nDegree =
        std::min(static_cast<std::size_t>(std::lround(sample.fWindAngle)), kDegrees - 1);
    const std::size_t i =
        (static_cast<std::size_t>(nWindBin) * 2 + (sample.bPort ? 1 : 0)) * kDegrees + nDegree;
    if (nWindBin < 0 || i >= m_aDegrees.size()) {
        return;
    }
    if (m_aDegrees[i] == nullptr) {
        m_aDegrees[i] = std::make_unique<Distribution>(0.01, 60.0);
    }
    m_aDegrees[i]->Add(sample.fBoatSpeed);
}

void DegreeBins::ForEach(const Calibration& calibration, const Visit& visit) const {
    for (std::size_t i = 0; i < m_aDegrees.size(); ++i) {
        if (m_aDegrees[i] == nullptr) {
            continue;
        }
        const std::size_t nDegree = i % kDegrees;
        const bool bPort = (i / kDegrees) % 2 == 1;
        const double dFromBow =
            (bPort ? 360.0 - static_cast<double>(nDegree) : static_cast<double>(nDegree)) -
            calibration.dAngleOffset;
        visit(static_cast<int>(i / (2 * kDegrees)), static_cast<float>(FoldAngle(dFromBow)),
              FromPort(dFromBow), *m_aDegrees[i], 1.0 / calibration.dSpeedFactor);
    }
}
