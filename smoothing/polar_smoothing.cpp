#include "smoothing/polar_smoothing.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "data/invalid_argument.h"
#include "smoothing/least_squares.h"

VectorArray g_aSmoothBackup;

namespace {

constexpr int kMaxDegree = 5;
constexpr int kMinPoints = 3;
// A first angle further below zero than this is no angle a polar can hold; sampling it would
// only produce millions of meaningless points.
constexpr float kLowestSampledAngle = -360.0f;

}  // namespace

int SmoothingDegree(int nPoints) {
    return nPoints >= 7 ? kMaxDegree : nPoints - 2;
}

std::vector<int> SmoothingSamples(float fFirstAngle, float fLastAngle) {
    std::vector<int> aSamples;
    if (!std::isfinite(fFirstAngle) || !std::isfinite(fLastAngle) ||
        fFirstAngle < kLowestSampledAngle) {
        return aSamples;
    }
    // The quotients are single precision before floor and ceil; the bounds are compared
    // before any conversion to int, so that no angle, however large, overflows one.
    const double dLo = 10.0 * std::floor(fFirstAngle / 10.0f);
    const double dHi = std::min(10.0 * std::ceil(fLastAngle / 10.0f), 180.0);
    if (dLo > dHi) {
        return aSamples;  // a first angle above 180, or a last one before the first
    }
    const int lo = static_cast<int>(dLo);
    const int hi = static_cast<int>(dHi);
    const int step = hi - lo <= 60 ? 5 : 10;
    const int first = static_cast<int>(fFirstAngle);  // truncation toward zero
    aSamples.push_back(first);
    for (int s = lo + step; s <= hi; s += step) {
        if (s > first) {
            aSamples.push_back(s);
        }
    }
    return aSamples;
}

int PERF_POLAR::Smooth() {
    const int nPoints = GetVectorCount();
    if (nPoints < kMinPoints) {
        return 0;
    }
    const int nDegree = SmoothingDegree(nPoints);
    std::vector<double> x(static_cast<std::size_t>(nPoints));
    std::vector<double> y(static_cast<std::size_t>(nPoints));
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = m_aVectors[i]->m_fAngle;
        y[i] = m_aVectors[i]->m_fSpeed;
    }
    std::vector<double> c(static_cast<std::size_t>(nDegree) + 1);
    const FitResult result = FitPolynomial(x.data(), y.data(), nPoints, nDegree, c.data());
    if (result == FitResult::OutOfMemory) {
        throw std::bad_alloc();
    }
    if (result == FitResult::Failed) {
        return 1;
    }
    const std::vector<int> aSamples =
        SmoothingSamples(m_aVectors.front()->m_fAngle, m_aVectors.back()->m_fAngle);

    // Set the measured points aside. A smoothing that was never ended has nothing left to
    // decide: its points are dropped. Reserving first keeps an allocation failure from
    // leaving the points half moved.
    g_aSmoothBackup.clear();
    g_aSmoothBackup.reserve(m_aVectors.size());
    for (auto& pVector : m_aVectors) {
        g_aSmoothBackup.push_back(std::move(pVector));
    }
    m_aVectors.clear();

    for (const int s : aSamples) {
        double v = c[static_cast<std::size_t>(nDegree)];
        for (int k = nDegree - 1; k >= 0; --k) {
            v = v * s + c[static_cast<std::size_t>(k)];
        }
        if (v > 0) {
            m_aVectors.push_back(std::make_unique<PERF_VECTOR>(
                PERF_VECTOR{static_cast<float>(s), static_cast<float>(v)}));
        }
    }
    return 1;
}

void PERF_POLAR::EndSmooth(bool bRestore) {
    if (bRestore && !g_aSmoothBackup.empty()) {
        m_aVectors = std::move(g_aSmoothBackup);
    }
    g_aSmoothBackup.clear();
}

int SAILPLAN::SmoothPolar(int nPolar) {
    return Polar(nPolar).Smooth();
}

void SAILPLAN::EndSmooth(int nPolar, bool bRestore) {
    Polar(nPolar).EndSmooth(bRestore);
}
