#include "logs/calibration.h"

#include <cmath>
#include <limits>

#include "data/angle_units.h"
#include "logs/log_values.h"

namespace {

constexpr std::size_t kDegrees = 181;
constexpr std::uint32_t kMinPerDegree = 3;
constexpr double kMaxGap = 12.0;  // degrees between known means bridged linearly

// A side's mean speed at a (fractional) angle, linear between the nearest known degrees; NaN
// where none lies near enough on either side.
double MeanAt(const double* pMeans, double dAngle) {
    if (dAngle < 0 || dAngle > 180) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    auto lo = static_cast<int>(std::floor(dAngle));
    auto hi = static_cast<int>(std::ceil(dAngle));
    while (lo >= 0 && std::isnan(pMeans[lo]) && dAngle - lo <= kMaxGap) {
        --lo;
    }
    while (hi <= 180 && std::isnan(pMeans[hi]) && hi - dAngle <= kMaxGap) {
        ++hi;
    }
    if (lo < 0 || hi > 180 || std::isnan(pMeans[lo]) || std::isnan(pMeans[hi]) ||
        hi - lo > kMaxGap) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (lo == hi) {
        return pMeans[lo];
    }
    const double t = (dAngle - lo) / (hi - lo);
    return pMeans[lo] * (1 - t) + pMeans[hi] * t;
}

}  // namespace

LogSample Calibrated(const LogSample& sample, const Calibration& calibration) {
    LogSample s = sample;
    const double dFromBow =
        (sample.bPort ? 360.0 - sample.fWindAngle : sample.fWindAngle) - calibration.dAngleOffset;
    s.fWindAngle = static_cast<float>(FoldAngle(dFromBow));
    s.bPort = FromPort(dFromBow);
    s.fBoatSpeed = static_cast<float>(sample.fBoatSpeed / calibration.dSpeedFactor);
    return s;
}

CalibrationEstimator::CalibrationEstimator(std::size_t nWindBins)
    : m_aSums(nWindBins * 2 * kDegrees, 0.0), m_aCounts(m_aSums.size(), 0) {}

void CalibrationEstimator::Add(const LogSample& sample, int nWindBin) {
    if (nWindBin >= 0) {
        const auto nDegree = static_cast<std::size_t>(std::lround(sample.fWindAngle));
        const std::size_t i =
            (static_cast<std::size_t>(nWindBin) * 2 + (sample.bPort ? 1 : 0)) * kDegrees +
            std::min(nDegree, kDegrees - 1);
        if (i < m_aSums.size()) {
            m_aSums[i] += sample.fBoatSpeed;
            ++m_aCounts[i];
        }
    }
    if (std::isfinite(sample.fGroundAlong) && std::isfinite(sample.fHeading)) {
        const double h = sample.fHeading * kRadiansPerDegree;
        const double row[3] = {sample.fBoatSpeed, std::cos(h), std::sin(h)};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                m_aNormal[r][c] += row[r] * row[c];
            }
            m_aRight[r] += row[r] * sample.fGroundAlong;
        }
        ++m_nGround;
    }
}

std::optional<double> CalibrationEstimator::AngleOffset() const {
    // Each side's mean speed per degree.
    std::vector<double> means(m_aSums.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i < means.size(); ++i) {
        if (m_aCounts[i] >= kMinPerDegree) {
            means[i] = m_aSums[i] / m_aCounts[i];
        }
    }
    const std::size_t nBins = means.size() / (2 * kDegrees);
    double dBest = 0;
    double dBestCost = std::numeric_limits<double>::infinity();
    for (double d = -kMaxOffset; d <= kMaxOffset + 1e-9; d += 0.05) {
        double dCost = 0;
        int nTerms = 0;
        for (std::size_t w = 0; w < nBins; ++w) {
            const double* pStarboard = &means[w * 2 * kDegrees];
            const double* pPort = pStarboard + kDegrees;
            for (int x = 0; x <= 180; ++x) {
                // Starboard reads the angle x at x + d, port at x - d.
                const double a = MeanAt(pStarboard, x + d);
                const double b = MeanAt(pPort, x - d);
                if (!std::isnan(a) && !std::isnan(b)) {
                    dCost += (a - b) * (a - b);
                    ++nTerms;
                }
            }
        }
        if (nTerms >= 20 && dCost / nTerms < dBestCost) {
            dBestCost = dCost / nTerms;
            dBest = d;
        }
    }
    if (std::isinf(dBestCost)) {
        return std::nullopt;
    }
    return dBest;
}

std::optional<double> CalibrationEstimator::SpeedFactor() const {
    if (m_nGround < 100) {
        return std::nullopt;
    }
    // Cramer's rule on the 3 by 3 normal equations; the water speed's coefficient is 1 over
    // the factor.
    const auto det = [](const double m[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const double dDet = det(m_aNormal);
    double aFirst[3][3];
    for (int r = 0; r < 3; ++r) {
        aFirst[r][0] = m_aRight[r];
        aFirst[r][1] = m_aNormal[r][1];
        aFirst[r][2] = m_aNormal[r][2];
    }
    // Headings too alike leave the current and the factor undetermined.
    const double dScale = m_aNormal[0][0] * m_aNormal[1][1] * m_aNormal[2][2];
    if (!(std::fabs(dDet) > 1e-6 * std::fabs(dScale))) {
        return std::nullopt;
    }
    const double a = det(aFirst) / dDet;
    if (!(a > 0.2 && a < 5)) {
        return std::nullopt;
    }
    return 1.0 / a;
}
