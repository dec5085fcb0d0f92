#include "smoothing/least_squares.h"

#include <cmath>
#include <new>
#include <utility>

namespace {

constexpr double kDeterminantCap = 1e100;
constexpr double kSingularBelow = 1e-7;

}  // namespace

GaussJordanResult SolveGaussJordan(const std::vector<double>& a, std::vector<double>& b, int n,
                                   std::vector<double>* pInverse) {
    const auto N = static_cast<std::size_t>(n);
    std::vector<double> m(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(N * N));
    // One mark per index serves for rows and columns alike.
    std::vector<bool> aMarked(N, false);
    auto at = [&](std::size_t row, std::size_t col) -> double& { return m[row * N + col]; };

    GaussJordanResult result;
    result.aPivots.reserve(N);
    double d = 1.0;
    for (std::size_t s = 0; s < N; ++s) {
        // Largest remaining element in row-major order; ties keep the first one met.
        double dBig = 0.0;
        std::size_t r = N;
        std::size_t q = N;
        for (std::size_t j = 0; j < N; ++j) {
            if (aMarked[j]) {
                continue;
            }
            for (std::size_t k = 0; k < N; ++k) {
                if (!aMarked[k] && std::fabs(at(j, k)) > dBig) {
                    dBig = std::fabs(at(j, k));
                    r = j;
                    q = k;
                }
            }
        }
        if (r == N) {
            result.bSingular = true;
            result.dDeterminant = 0.0;
            return result;
        }
        aMarked[q] = true;
        result.aPivots.emplace_back(static_cast<int>(r), static_cast<int>(q));
        if (r != q) {
            d = -d;
            for (std::size_t k = 0; k < N; ++k) {
                std::swap(at(r, k), at(q, k));
            }
            std::swap(b[r], b[q]);
        }
        const double p = at(q, q);
        d *= p;
        if (d > kDeterminantCap) {
            d = kDeterminantCap;
        }
        at(q, q) = 1.0;
        for (std::size_t k = 0; k < N; ++k) {
            at(q, k) /= p;
        }
        b[q] /= p;
        for (std::size_t t = 0; t < N; ++t) {
            if (t == q) {
                continue;
            }
            const double f = at(t, q);
            at(t, q) = 0.0;
            for (std::size_t k = 0; k < N; ++k) {
                at(t, k) -= f * at(q, k);
            }
            b[t] -= f * b[q];
        }
    }
    // The row exchanges put each pivot on the diagonal; the inverse needs the matching column
    // exchanges undone, last first.
    for (auto it = result.aPivots.rbegin(); it != result.aPivots.rend(); ++it) {
        const auto r = static_cast<std::size_t>(it->first);
        const auto q = static_cast<std::size_t>(it->second);
        if (r != q) {
            for (std::size_t k = 0; k < N; ++k) {
                std::swap(at(k, r), at(k, q));
            }
        }
    }
    if (pInverse != nullptr) {
        *pInverse = std::move(m);
    }
    result.dDeterminant = d;
    return result;
}

FitResult FitPolynomial(const double* x, const double* y, int nPoints, int nDegree, double* c) {
    if (nDegree < 0 || nPoints <= nDegree + 1) {
        return FitResult::Failed;
    }
    try {
        const auto P = static_cast<std::size_t>(nPoints);
        const auto K = static_cast<std::size_t>(nDegree) + 1;
        // Design matrix: row i is 1, x_i, x_i^2, ..., x_i^m.
        std::vector<double> design(P * K);
        for (std::size_t i = 0; i < P; ++i) {
            design[i * K] = 1.0;
            for (std::size_t j = 1; j < K; ++j) {
                design[i * K + j] = j == 1 ? x[i] : design[i * K + j - 1] * x[i];
            }
        }
        std::vector<double> normal(K * K, 0.0);
        std::vector<double> rhs(K, 0.0);
        for (std::size_t i = 0; i < K; ++i) {
            for (std::size_t j = 0; j < K; ++j) {
                double dSum = 0.0;
                for (std::size_t k = 0; k < P; ++k) {
                    dSum += design[k * K + i] * design[k * K + j];
                }
                normal[i * K + j] = dSum;
            }
            double dSum = 0.0;
            for (std::size_t k = 0; k < P; ++k) {
                dSum += design[k * K + i] * y[k];
            }
            rhs[i] = dSum;
        }
        const GaussJordanResult solved = SolveGaussJordan(normal, rhs, static_cast<int>(K));
        if (!solved.bSingular) {
            for (std::size_t i = 0; i < K; ++i) {
                c[i] = rhs[i];
            }
        }
        const double d = solved.dDeterminant;
        if (solved.bSingular || std::isnan(d) || d < kSingularBelow) {
            return FitResult::Failed;
        }
        return FitResult::Success;
    } catch (const std::bad_alloc&) {
        return FitResult::OutOfMemory;
    }
}
