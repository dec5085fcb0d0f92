// The wind angle offset fitted to the symmetry of the speeds between the tacks (see
// CalibrationEstimator).
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

#include "logs/calibration.h"

namespace {

constexpr int kFromBow = 360;
constexpr double kMinPerDegree = 3;  // samples a degree needs for its mean speed
constexpr int kMaxGap = 5;           // degrees between known means bridged linearly
constexpr double kMaxWeight = 30;    // a degree's weight: its samples, up to this
constexpr int kSlopeReach = 2;       // degrees either side for the curve's slope
// The true wind angles compared: the curve is steep enough to tell from 25 degrees; near 180
// the tacks meet and tell nothing.
constexpr int kFirstAngle = 25;
constexpr int kLastAngle = 178;
constexpr int kMaxSteps = 60;

struct Curve {
    const double* pSums;
    const double* pCounts;
    // The mean speed read at a (fractional) angle from the bow and the samples behind it,
    // linear between the nearest known degrees; false where none lies near enough.
    bool At(double dFromBow, double& dMean, double& dCount) const {
        dFromBow = std::fmod(dFromBow, 360.0);
        dFromBow += dFromBow < 0 ? 360.0 : 0.0;
        const auto known = [&](int n) {
            return pCounts[(n + kFromBow) % kFromBow] >= kMinPerDegree;
        };
        const auto nFloor = static_cast<int>(std::floor(dFromBow));
        int lo = nFloor;
        int hi = nFloor + 1;
        while (!known(lo) && nFloor - lo < kMaxGap) {
            --lo;
        }
        while (!known(hi) && hi - nFloor <= kMaxGap) {
            ++hi;
        }
        if (!known(lo) || !known(hi) || hi - lo > kMaxGap + 1) {
            if (known(nFloor) && dFromBow - nFloor < 0.5) {
                hi = lo = nFloor;  // at a known degree's edge of the data
            } else if (known(nFloor + 1) && nFloor + 1 - dFromBow <= 0.5) {
                hi = lo = nFloor + 1;
            } else {
                return false;
            }
        }
        const auto mean = [&](int n) {
            const std::size_t i = static_cast<std::size_t>((n + kFromBow) % kFromBow);
            return pSums[i] / pCounts[i];
        };
        const auto count = [&](int n) { return pCounts[(n + kFromBow) % kFromBow]; };
        const double t = hi == lo ? 0.0 : (dFromBow - lo) / (hi - lo);
        dMean = mean(lo) * (1 - t) + mean(hi) * t;
        dCount = std::min(count(lo), count(hi));
        return dMean > 0.1;
    }
    // The mean of both tacks at a true wind angle, the readings turned by the offset.
    bool Both(double dAngle, double dOffset, double& dMean) const {
        double a = 0;
        double b = 0;
        double n = 0;
        if (!At(dAngle + dOffset, a, n) || !At(kFromBow - dAngle + dOffset, b, n)) {
            return false;
        }
        dMean = (a + b) / 2;
        return true;
    }
};

struct Term {
    double dDifference;  // log speed, starboard less port
    double dSlope;       // of the log speed over the true wind angle, per degree
    double dWeight;
    int nAngleBin;
};

// The terms of one wind speed bin at an offset.
void Terms(const Curve& curve, double dOffset, std::vector<Term>& terms) {
    terms.clear();
    for (int x = kFirstAngle; x <= kLastAngle; ++x) {
        double a = 0;
        double b = 0;
        double na = 0;
        double nb = 0;
        double dBefore = 0;
        double dAfter = 0;
        if (!curve.At(x + dOffset, a, na) || !curve.At(kFromBow - x + dOffset, b, nb) ||
            !curve.Both(x - kSlopeReach, dOffset, dBefore) ||
            !curve.Both(x + kSlopeReach, dOffset, dAfter)) {
            continue;
        }
        const double dSlope = (dAfter - dBefore) / (2.0 * kSlopeReach) / ((a + b) / 2);
        terms.push_back(
            {std::log(a / b), dSlope, std::min(na * nb / (na + nb), kMaxWeight), x / 5});
    }
}

}  // namespace

std::optional<double> FitAngleOffset(const std::vector<double>& sums,
                                     const std::vector<double>& counts, std::size_t nWindBins,
                                     std::uint64_t& nTackPairs, bool& bAtBound) {
    nTackPairs = 0;
    bAtBound = false;
    std::vector<Term> terms;
    double dOffset = 0;
    for (int nStep = 0; nStep < kMaxSteps; ++nStep) {
        // Per wind speed bin, the difference and slope less their weighted means: a constant
        // difference between the tacks tells nothing of the offset.
        double dProducts = 0;
        double dSquares = 0;
        std::size_t nTerms = 0;
        std::set<std::pair<std::size_t, int>> pairs;
        for (std::size_t w = 0; w < nWindBins; ++w) {
            const Curve curve{&sums[w * kFromBow], &counts[w * kFromBow]};
            Terms(curve, dOffset, terms);
            double dWeights = 0;
            double dDifferences = 0;
            double dSlopes = 0;
            for (const Term& t : terms) {
                dWeights += t.dWeight;
                dDifferences += t.dWeight * t.dDifference;
                dSlopes += t.dWeight * t.dSlope;
                pairs.insert({w, t.nAngleBin});
            }
            if (terms.size() < 2) {
                continue;
            }
            const double dMeanDifference = dDifferences / dWeights;
            const double dMeanSlope = dSlopes / dWeights;
            for (const Term& t : terms) {
                const double s = t.dSlope - dMeanSlope;
                dProducts += t.dWeight * (t.dDifference - dMeanDifference) * s;
                dSquares += t.dWeight * s * s;
            }
            nTerms += terms.size();
        }
        nTackPairs = pairs.size();
        if (nTerms < 20 || !(dSquares > 0)) {
            return std::nullopt;
        }
        // The difference is twice the slope times (the offset tried less the true one).
        const double dStep = std::clamp(-dProducts / (2 * dSquares), -3.0, 3.0);
        dOffset += dStep;
        if (std::fabs(dOffset) >= CalibrationEstimator::kMaxOffset) {
            bAtBound = true;
            return std::clamp(dOffset, -CalibrationEstimator::kMaxOffset,
                              CalibrationEstimator::kMaxOffset);
        }
        if (std::fabs(dStep) < 0.005) {
            break;
        }
    }
    return dOffset;
}
