#include "apps/polarctl/exchange/polar_curve.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

// The angle in [lo, hi] where f is largest: one-degree steps, then tenths around the best.
float Maximise(float lo, float hi, const std::function<double(float)>& f) {
    float fBest = lo;
    double dBest = f(lo);
    auto consider = [&](float a) {
        const double v = f(a);
        if (v > dBest) {
            dBest = v;
            fBest = a;
        }
    };
    for (float a = std::ceil(lo); a <= hi; a += 1.0f) {
        consider(a);
    }
    consider(hi);
    const float fCoarse = fBest;
    for (int k = -10; k <= 10; ++k) {
        const float a = std::round((fCoarse + 0.1f * static_cast<float>(k)) * 10.0f) / 10.0f;
        if (a >= lo && a <= hi) {
            consider(a);
        }
    }
    return fBest;
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

std::optional<BestVmg> FindBestVmg(const PERF_POLAR& polar) {
    if (polar.m_aVectors.empty()) {
        return std::nullopt;
    }
    const float lo = polar.m_aVectors.front()->m_fAngle;
    const float hi = polar.m_aVectors.back()->m_fAngle;
    auto vmg = [&polar](float a, double sign) {
        const std::optional<float> s = SpeedOnCurve(polar, a);
        return s ? sign * static_cast<double>(*s) * std::cos(a * kDegToRad) : -1e300;
    };
    BestVmg best;
    best.fUpwindAngle = Maximise(lo, hi, [&](float a) { return vmg(a, 1.0); });
    best.fUpwindVmg = static_cast<float>(vmg(best.fUpwindAngle, 1.0));
    best.fDownwindAngle = Maximise(lo, hi, [&](float a) { return vmg(a, -1.0); });
    best.fDownwindVmg = static_cast<float>(vmg(best.fDownwindAngle, -1.0));
    return best;
}
