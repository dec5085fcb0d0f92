#include "diagram/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Keeps 2R within int range for absurd speeds; no boat comes near it.
constexpr double kMaxRadius = 500'000'000.0;

int TruncateToInt(float f) {
    return static_cast<int>(f);
}

}  // namespace

CPoint PolarToPoint(float fAngle, float fSpeed) {
    const float theta = fAngle * kDegToRad;
    const auto r = static_cast<float>(fSpeed * 100.0);
    const auto fSin = static_cast<float>(std::sin(static_cast<double>(theta)));
    const auto fCos = static_cast<float>(std::cos(static_cast<double>(theta)));
    const float x = fSin * r;
    const float y = fCos * r;
    // Points far outside any window are held at the int range instead of overflowing.
    constexpr float kLimit = 2.0e9f;
    auto clamp = [](float v) {
        return std::isnan(v) ? 0 : TruncateToInt(v > kLimit ? kLimit : (v < -kLimit ? -kLimit : v));
    };
    return CPoint{clamp(x), clamp(y)};
}

void PointToPolar(int x, int y, float* pfAngle, float* pfSpeed) {
    // The sum of squares is exact in 64 bits for every int pair.
    const std::int64_t nSquares =
        static_cast<std::int64_t>(x) * x + static_cast<std::int64_t>(y) * y;
    const auto d = static_cast<float>(std::sqrt(static_cast<double>(nSquares)));
    if (x == 0 && y == 0) {
        *pfAngle = 0.0f;
        *pfSpeed = 0.0f;
        return;
    }
    const float q = static_cast<float>(x) / d;
    if (y >= 0) {
        const auto fAsin = static_cast<float>(std::asin(static_cast<double>(q)));
        *pfAngle = fAsin * kRadToDeg;
    } else {
        const auto fAcos = static_cast<float>(std::acos(static_cast<double>(q)));
        *pfAngle = fAcos * kRadToDeg + 90.0f;
    }
    *pfSpeed = d / 100.0f;
}

int ComputeScaleRadius(const SAILPLAN* pSailPlan, const PERF_POLAR& polar, bool bShowAll) {
    float m = 0.0f;
    auto visit = [&m](const PERF_POLAR& p) {
        for (const auto& pVector : p.m_aVectors) {
            if (pVector->m_fSpeed > m) {
                m = pVector->m_fSpeed;
            }
        }
    };
    if (bShowAll && pSailPlan != nullptr) {
        for (const auto& pPolar : pSailPlan->m_aPolars) {
            visit(*pPolar);
        }
    } else {
        visit(polar);
    }
    double dRadius = static_cast<double>(m) * 100.0;
    if (dRadius > kMaxRadius) {
        dRadius = kMaxRadius;
    }
    const int nRadius = static_cast<int>(dRadius);
    return nRadius < kMinRadius ? kMinRadius : nRadius;
}

int RingSpacing(int nRadius) {
    if (nRadius <= 750) {
        return 100;
    }
    if (nRadius <= 1500) {
        return 200;
    }
    if (nRadius <= 3000) {
        return 500;
    }
    if (nRadius <= 6000) {
        return 1000;
    }
    return 2000;
}

namespace {

// Screen pixels as logical units, at least one unit; a window without width keeps the pixels.
int PixelsAsLogical(double fPixels, CSize sizeLogical, int nClientWidth) {
    const double fUnitsPerPixel =
        nClientWidth > 0 ? static_cast<double>(sizeLogical.cx) / nClientWidth : 1.0;
    return std::max(1, static_cast<int>(std::lround(fPixels * fUnitsPerPixel)));
}

// The sizes the editor's diagram has at its first size (about 360 pixels across).
constexpr double kControlSquareHalfSidePixels = 5.0;
constexpr double kFirstPointLinePixels = 1.0;

}  // namespace

int ControlSquareHalfSide(CSize sizeLogical, int nClientWidth) {
    return PixelsAsLogical(kControlSquareHalfSidePixels, sizeLogical, nClientWidth);
}

int TrackCrossHalfArm(int nRadius) {
    return nRadius / 12;
}

int FirstPointLineWidth(CSize sizeLogical, int nClientWidth) {
    return PixelsAsLogical(kFirstPointLinePixels, sizeLogical, nClientWidth);
}

int RingLabelRightEdge(int nRadius) {
    return -static_cast<int>(2.0 * nRadius * 0.01);
}

CRect ControlSquare(CPoint p, int nHalfSide) {
    return CRect{p.x - nHalfSide, p.y - nHalfSide, p.x + nHalfSide, p.y + nHalfSide};
}

int HitControlSquare(const std::vector<CRect>& aSquares, CPoint pt) {
    for (std::size_t i = 0; i < aSquares.size(); ++i) {
        if (aSquares[i].PtInRect(pt)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int NearestVertex(const std::vector<CPoint>& aVertices, CPoint pt) {
    int nBest = -1;
    std::int64_t nBestDistance = 0;
    for (std::size_t i = 0; i < aVertices.size(); ++i) {
        const std::int64_t dx = static_cast<std::int64_t>(pt.x) - aVertices[i].x;
        const std::int64_t dy = static_cast<std::int64_t>(pt.y) - aVertices[i].y;
        const std::int64_t nDistance = dx * dx + dy * dy;
        if (nBest < 0 || nDistance < nBestDistance) {
            nBest = static_cast<int>(i);
            nBestDistance = nDistance;
        }
    }
    return nBest;
}

void AppendCurveVertices(const PERF_POLAR& polar, std::vector<CPoint>& aVertices,
                         std::vector<std::size_t>* pSegmentStarts) {
    const auto& points = polar.m_aVectors;
    for (std::size_t j = 0; j + 1 < points.size(); ++j) {
        const float a0 = points[j]->m_fAngle;
        const float s0 = points[j]->m_fSpeed;
        const float a1 = points[j + 1]->m_fAngle;
        const float s1 = points[j + 1]->m_fSpeed;
        if (pSegmentStarts != nullptr) {
            pSegmentStarts->push_back(aVertices.size());
        }
        aVertices.push_back(PolarToPoint(a0, s0));
        // One vertex per whole degree strictly inside the segment. The count is bounded, so a
        // segment spanning an absurd angle cannot run for ever.
        constexpr int kMaxSteps = 3600;
        int nSteps = 0;
        for (float t = a0 + 1.0f; a1 > t && nSteps < kMaxSteps; t = t + 1.0f, ++nSteps) {
            const float s = (t - a0) / (a1 - a0) * (s1 - s0) + s0;
            aVertices.push_back(PolarToPoint(t, s));
        }
        aVertices.push_back(PolarToPoint(a1, s1));
    }
}
