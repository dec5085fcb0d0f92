#include "logs/calibration.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "data/angle_units.h"
#include "logs/log_values.h"

namespace {

constexpr std::size_t kFromBow = 360;
constexpr std::size_t kGroundSums = 12;  // the 3 by 3 normal matrix and the right side
constexpr int kResamples = 200;
// A 99.9 % interval: the estimate plus or minus this many standard deviations of the resamples.
constexpr double kInterval = 3.29;

// The factor solved from the normal equations' sums (Cramer's rule); the water speed's
// coefficient is 1 over the factor. Nothing with fewer than 100 samples or headings too
// alike to tell the factor from the current.
std::optional<double> SolveFactor(const double* pSums, double dSamples) {
    if (dSamples < 100) {
        return std::nullopt;
    }
    double m[3][3];
    double right[3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            m[r][c] = pSums[r * 3 + c];
        }
        right[r] = pSums[9 + r];
    }
    const auto det = [](const double a[3][3]) {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
               a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
               a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    const double dDet = det(m);
    const double dScale = m[0][0] * m[1][1] * m[2][2];
    if (!(std::fabs(dDet) > 1e-6 * std::fabs(dScale))) {
        return std::nullopt;
    }
    double first[3][3];
    for (int r = 0; r < 3; ++r) {
        first[r][0] = right[r];
        first[r][1] = m[r][1];
        first[r][2] = m[r][2];
    }
    const double a = det(first) / dDet;
    if (!(a > 0.2 && a < 5)) {
        return std::nullopt;
    }
    return 1.0 / a;
}

// The estimate's interval from its resamples: the estimate plus or minus kInterval standard
// deviations; none when more than a tenth of the resamples gave no estimate.
void SetInterval(SensorEstimate& estimate, const std::vector<double>& repeats) {
    if (!estimate.value || repeats.size() < kResamples * 9 / 10) {
        return;
    }
    double dMean = 0;
    for (const double d : repeats) {
        dMean += d;
    }
    dMean /= static_cast<double>(repeats.size());
    double dSquares = 0;
    for (const double d : repeats) {
        dSquares += (d - dMean) * (d - dMean);
    }
    const double dSpread = std::sqrt(dSquares / static_cast<double>(repeats.size() - 1));
    estimate.dLow = *estimate.value - kInterval * dSpread;
    estimate.dHigh = *estimate.value + kInterval * dSpread;
    estimate.bInterval = true;
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

Calibration SensorEstimates::Applied() const {
    return {angleOffset.bApply ? *angleOffset.value : 0.0,
            speedFactor.bApply ? *speedFactor.value : 1.0};
}

CalibrationEstimator::CalibrationEstimator(std::size_t nWindBins)
    : m_nWindBins(nWindBins),
      m_aSums(kGroups * nWindBins * kFromBow, 0.0),
      m_aCounts(m_aSums.size(), 0.0),
      m_aGround(kGroups * (kGroundSums + 1), 0.0) {}

void CalibrationEstimator::Add(const LogSample& sample, int nWindBin, std::uint64_t nLeg) {
    const auto nGroup = static_cast<std::size_t>(nLeg % kGroups);
    if (nWindBin >= 0 && static_cast<std::size_t>(nWindBin) < m_nWindBins) {
        auto nDegree = static_cast<std::size_t>(std::lround(sample.fWindAngle));
        nDegree = std::min<std::size_t>(nDegree, 180);
        if (sample.bPort && nDegree > 0) {
            nDegree = kFromBow - nDegree;
        }
        const std::size_t i =
            (nGroup * m_nWindBins + static_cast<std::size_t>(nWindBin)) * kFromBow + nDegree;
        m_aSums[i] += sample.fBoatSpeed;
        m_aCounts[i] += 1;
    }
    if (std::isfinite(sample.fGroundAlong) && std::isfinite(sample.fHeading)) {
        const double h = sample.fHeading * kRadiansPerDegree;
        const double row[3] = {sample.fBoatSpeed, std::cos(h), std::sin(h)};
        double* p = &m_aGround[nGroup * (kGroundSums + 1)];
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                p[r * 3 + c] += row[r] * row[c];
            }
            p[9 + r] += row[r] * sample.fGroundAlong;
        }
        p[kGroundSums] += 1;
        ++m_nGround;
    }
}

SensorEstimates CalibrationEstimator::Estimate() const {
    SensorEstimates estimates;
    const std::size_t nCells = m_nWindBins * kFromBow;
    // The sums of the groups weighted (a resample: how often each group was drawn).
    std::vector<double> sums(nCells);
    std::vector<double> counts(nCells);
    double aGround[kGroundSums + 1];
    const auto combine = [&](const int* pWeights) {
        std::fill(sums.begin(), sums.end(), 0.0);
        std::fill(counts.begin(), counts.end(), 0.0);
        std::fill(std::begin(aGround), std::end(aGround), 0.0);
        for (int g = 0; g < kGroups; ++g) {
            if (pWeights[g] == 0) {
                continue;
            }
            const double w = pWeights[g];
            const double* pSums = &m_aSums[static_cast<std::size_t>(g) * nCells];
            const double* pCounts = &m_aCounts[static_cast<std::size_t>(g) * nCells];
            for (std::size_t i = 0; i < nCells; ++i) {
                sums[i] += w * pSums[i];
                counts[i] += w * pCounts[i];
            }
            for (std::size_t i = 0; i <= kGroundSums; ++i) {
                aGround[i] += w * m_aGround[static_cast<std::size_t>(g) * (kGroundSums + 1) + i];
            }
        }
    };
    int aWeights[kGroups];
    std::fill(std::begin(aWeights), std::end(aWeights), 1);
    combine(aWeights);
    SensorEstimate& offset = estimates.angleOffset;
    offset.value = FitAngleOffset(sums, counts, m_nWindBins, offset.nSupport, offset.bAtBound);
    SensorEstimate& factor = estimates.speedFactor;
    factor.value = SolveFactor(aGround, aGround[kGroundSums]);
    factor.nSupport = m_nGround;
    // Groups that hold samples: fewer than 5, and the resamples cannot tell a spread.
    int nFilled = 0;
    for (int g = 0; g < kGroups; ++g) {
        const double* p = &m_aCounts[static_cast<std::size_t>(g) * nCells];
        nFilled += std::any_of(p, p + nCells, [](double c) { return c > 0; }) ? 1 : 0;
    }
    if ((offset.value || factor.value) && nFilled >= 5) {
        // The same resamples every time: the same log gives the same interval.
        std::mt19937 random(1);
        std::uniform_int_distribution<int> pick(0, kGroups - 1);
        std::vector<double> offsets;
        std::vector<double> factors;
        for (int n = 0; n < kResamples; ++n) {
            std::fill(std::begin(aWeights), std::end(aWeights), 0);
            for (int k = 0; k < kGroups; ++k) {
                ++aWeights[pick(random)];
            }
            combine(aWeights);
            if (offset.value) {
                std::uint64_t nPairs = 0;
                bool bAtBound = false;
                const auto d = FitAngleOffset(sums, counts, m_nWindBins, nPairs, bAtBound);
                if (d && !bAtBound) {
                    offsets.push_back(*d);
                }
            }
            if (factor.value) {
                if (const auto f = SolveFactor(aGround, aGround[kGroundSums])) {
                    factors.push_back(*f);
                }
            }
        }
        SetInterval(offset, offsets);
        SetInterval(factor, factors);
    }
    offset.bApply = offset.bInterval && !offset.bAtBound &&
                    offset.HalfWidth() <= kMaxOffsetHalfWidth &&
                    (offset.dLow > 0 || offset.dHigh < 0);
    factor.bApply = factor.bInterval && factor.HalfWidth() <= kMaxFactorHalfWidth &&
                    (factor.dLow > 1 || factor.dHigh < 1) &&
                    std::fabs(*factor.value - 1) >= kMinFactorError;
    return estimates;
}
