#include "exchange/polar_curve.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "data/angle_units.h"

namespace {

struct Optimum {
    double dAngle;
    double dValue;
};

// Whether sign × speed × cos(angle) stays below dBest all along the segment from (a0, s0) to
// (a1, s1): the product is at most the largest product of the speeds' and the cosines' bounds.
// Only between 0° and 180°, where the cosine falls with the angle; elsewhere the segment is
// searched. The margin covers rounding, so that a segment left out could not have won.
// The cosines are those of a0 and a1.
bool CannotBeat(double a0, double a1, double s0, double s1, double dCos0, double dCos1,
                double dSign, double dBest) {
    if (a0 < 0 || a1 > 180) {
        return false;
    }
    const double c0 = dSign * dCos0;
    const double c1 = dSign * dCos1;
    const double dBound = std::max({s0 * c0, s0 * c1, s1 * c0, s1 * c1});
    return dBound + 1e-9 * (1 + std::abs(dBound)) < dBest;
}

// The largest of sign × speed × cos(angle) on the curve. The points themselves are candidates
// with their exact angles; inside each segment, where the speed is linear in the angle, the
// optimum may lie between the points: it is found by sampling and a golden-section refinement.
// A point wins over an inside optimum that is not better by more than rounding. cosines holds
// the cosine of each point's angle.
Optimum BestOnCurve(const PERF_POLAR& polar, double dSign, const std::vector<double>& cosines) {
    const auto& v = polar.m_aVectors;
    auto value = [dSign](double dAngle, double dSpeed) {
        return dSign * dSpeed * std::cos(dAngle * kRadiansPerDegree);
    };
    Optimum best{v.front()->m_fAngle, dSign * v.front()->m_fSpeed * cosines.front()};
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double d = dSign * v[i]->m_fSpeed * cosines[i];
        if (d > best.dValue) {
            best = {v[i]->m_fAngle, d};
        }
    }
    Optimum inside = best;
    for (std::size_t i = 1; i < v.size(); ++i) {
        const double a0 = v[i - 1]->m_fAngle;
        const double a1 = v[i]->m_fAngle;
        if (!(a1 > a0)) {
            continue;
        }
        const double s0 = v[i - 1]->m_fSpeed;
        const double s1 = v[i]->m_fSpeed;
        if (CannotBeat(a0, a1, s0, s1, cosines[i - 1], cosines[i], dSign, best.dValue)) {
            continue;
        }
        auto f = [&](double a) { return value(a, s0 + (s1 - s0) * (a - a0) / (a1 - a0)); };
        constexpr int kSamples = 64;
        int nBest = 0;
        double dBestSample = f(a0);
        for (int k = 1; k <= kSamples; ++k) {
            const double d = f(a0 + (a1 - a0) * k / kSamples);
            if (d > dBestSample) {
                dBestSample = d;
                nBest = k;
            }
        }
        double lo = a0 + (a1 - a0) * std::max(nBest - 1, 0) / kSamples;
        double hi = a0 + (a1 - a0) * std::min(nBest + 1, kSamples) / kSamples;
        constexpr double kGolden = 0.6180339887498949;
        for (int n = 0; n < 100 && hi - lo > 1e-9; ++n) {
            const double m1 = hi - kGolden * (hi - lo);
            const double m2 = lo + kGolden * (hi - lo);
            if (f(m1) < f(m2)) {
                lo = m1;
            } else {
                hi = m2;
            }
        }
        const double a = (lo + hi) / 2;
        if (f(a) > inside.dValue) {
            inside = {a, f(a)};
        }
    }
    return inside.dValue > best.dValue + 1e-9 ? inside : best;
}

}  // namespace

std::optional<float> SpeedOnCurve(const PERF_POLAR& polar, float fAngle) {
    const auto& v = polar.m_aVectors;
    if (v.empty() || !(fAngle >= v.front()->m_fAngle) || !(fAngle <= v.back()->m_fAngle)) {
        return std::nullopt;
    }
    // The first point whose angle is not below fAngle; an exact angle gives its own speed.
    const auto it = std::lower_bound(v.begin(), v.end(), fAngle,
                                     [](const auto& p, float a) { return p->m_fAngle < a; });
    if ((*it)->m_fAngle == fAngle) {
        return (*it)->m_fSpeed;
    }
    const PERF_VECTOR& p0 = **(it - 1);
    const PERF_VECTOR& p1 = **it;
    return (fAngle - p0.m_fAngle) / (p1.m_fAngle - p0.m_fAngle) * (p1.m_fSpeed - p0.m_fSpeed) +
           p0.m_fSpeed;
}

std::optional<float> SpeedBetweenWindSpeeds(const SAILPLAN& sailPlan, float fWindSpeed,
                                            float fAngle) {
    const auto& polars = sailPlan.m_aPolars;
    // The first polar whose wind speed is not below fWindSpeed.
    const auto it = std::lower_bound(polars.begin(), polars.end(), fWindSpeed,
                                     [](const auto& p, float w) { return p->m_fWindSpeed < w; });
    if (it == polars.end() || !((*it)->m_fWindSpeed >= fWindSpeed)) {
        return std::nullopt;
    }
    const PERF_POLAR& above = **it;
    if (above.m_fWindSpeed == fWindSpeed) {
        return SpeedOnCurve(above, fAngle);
    }
    if (it == polars.begin()) {
        return std::nullopt;
    }
    const PERF_POLAR& below = **(it - 1);
    const std::optional<float> speedBelow = SpeedOnCurve(below, fAngle);
    const std::optional<float> speedAbove = SpeedOnCurve(above, fAngle);
    if (!speedBelow || !speedAbove) {
        return std::nullopt;
    }
    const float t = (fWindSpeed - below.m_fWindSpeed) / (above.m_fWindSpeed - below.m_fWindSpeed);
    return *speedBelow + t * (*speedAbove - *speedBelow);
}

namespace {

// A polar's curve (with points) carried beyond its angles: to 0 at 0 degrees below, held above.
float SpeedOnExtendedCurve(const PERF_POLAR& polar, float fAngle) {
    const PERF_VECTOR& first = *polar.m_aVectors.front();
    const PERF_VECTOR& last = *polar.m_aVectors.back();
    if (fAngle < first.m_fAngle) {
        return first.m_fAngle > 0 ? first.m_fSpeed * std::max(fAngle, 0.0f) / first.m_fAngle
                                  : first.m_fSpeed;
    }
    if (fAngle > last.m_fAngle) {
        return last.m_fSpeed;
    }
    return *SpeedOnCurve(polar, fAngle);
}

}  // namespace

std::optional<float> SpeedWithEdges(const SAILPLAN& sailPlan, float fWindSpeed, float fAngle) {
    if (std::isnan(fWindSpeed) || std::isnan(fAngle)) {
        return std::nullopt;
    }
    if (const std::optional<float> inside = SpeedBetweenWindSpeeds(sailPlan, fWindSpeed, fAngle)) {
        return inside;
    }
    // The polars with points that enclose the wind speed, or the one at the edge it passes.
    const PERF_POLAR* pBelow = nullptr;
    const PERF_POLAR* pAbove = nullptr;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        if (pPolar->m_aVectors.empty()) {
            continue;
        }
        if (pPolar->m_fWindSpeed <= fWindSpeed) {
            pBelow = pPolar.get();
        } else if (pAbove == nullptr) {
            pAbove = pPolar.get();
        }
    }
    if (pBelow == nullptr || pAbove == nullptr) {
        const PERF_POLAR* pEdge = pBelow != nullptr ? pBelow : pAbove;
        return pEdge != nullptr ? std::optional<float>(SpeedOnExtendedCurve(*pEdge, fAngle))
                                : std::nullopt;
    }
    const float fBelow = SpeedOnExtendedCurve(*pBelow, fAngle);
    const float fAbove = SpeedOnExtendedCurve(*pAbove, fAngle);
    const float t =
        (fWindSpeed - pBelow->m_fWindSpeed) / (pAbove->m_fWindSpeed - pBelow->m_fWindSpeed);
    return fBelow + t * (fAbove - fBelow);
}

namespace {

const PERF_VECTOR* PointAt(const PERF_POLAR& polar, float fAngle) {
    for (const auto& p : polar.m_aVectors) {
        if (p->m_fAngle == fAngle) {
            return p.get();
        }
    }
    return nullptr;
}

// A point's own speed at the angle; else the speed on the curve to the hundredth, in hundredths
// as the rounding gives them; nothing outside the polar's range.
std::optional<float> SpeedInHundredths(const PERF_POLAR& polar, float fAngle,
                                       double (*round)(double)) {
    if (const PERF_VECTOR* p = PointAt(polar, fAngle)) {
        return p->m_fSpeed;
    }
    const std::optional<float> speed = SpeedOnCurve(polar, fAngle);
    if (!speed) {
        return std::nullopt;
    }
    return static_cast<float>(round(static_cast<double>(*speed) * 100.0) / 100.0);
}

double DownUnlessWhole(double dHundredths) {
    // A value that is a hundredth but for the float's own noise stays that hundredth.
    const double dNearest = std::round(dHundredths);
    return std::fabs(dHundredths - dNearest) < 1e-3 ? dNearest : std::floor(dHundredths);
}

double UpByHalfOrMore(double dHundredths) {
    return std::ceil(dHundredths + 0.5);
}

}  // namespace

std::optional<float> WrittenSpeed(const PERF_POLAR& polar, float fAngle) {
    return SpeedInHundredths(polar, fAngle, DownUnlessWhole);
}

std::optional<float> StatedBestSpeed(const PERF_POLAR& polar, float fAngle) {
    return SpeedInHundredths(polar, fAngle, UpByHalfOrMore);
}

std::optional<BestVmg> FindBestVmg(const PERF_POLAR& polar) {
    if (polar.m_aVectors.empty()) {
        return std::nullopt;
    }
    std::vector<double> cosines;
    cosines.reserve(polar.m_aVectors.size());
    for (const auto& p : polar.m_aVectors) {
        cosines.push_back(std::cos(p->m_fAngle * kRadiansPerDegree));
    }
    const Optimum up = BestOnCurve(polar, 1.0, cosines);
    const Optimum down = BestOnCurve(polar, -1.0, cosines);
    return BestVmg{static_cast<float>(up.dAngle), static_cast<float>(up.dValue),
                   static_cast<float>(down.dAngle), static_cast<float>(down.dValue)};
}
