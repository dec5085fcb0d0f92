#include "exchange/import_support.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "exchange/polar_curve.h"

void SortSailPlan(SAILPLAN& sailPlan) {
    for (auto& pPolar : sailPlan.m_aPolars) {
        std::stable_sort(pPolar->m_aVectors.begin(), pPolar->m_aVectors.end(),
                         [](const auto& a, const auto& b) { return a->m_fAngle < b->m_fAngle; });
    }
    std::stable_sort(
        sailPlan.m_aPolars.begin(), sailPlan.m_aPolars.end(),
        [](const auto& a, const auto& b) { return a->m_fWindSpeed < b->m_fWindSpeed; });
}

void SetMissingTackingAngles(SAILPLAN& sailPlan) {
    for (auto& pPolar : sailPlan.m_aPolars) {
        if (pPolar->m_fTackingAngle == kUnknownTackingAngle) {
            const std::optional<BestVmg> best = FindBestVmg(*pPolar);
            pPolar->m_fTackingAngle = best ? best->fUpwindAngle : 0.0f;
        }
    }
}

std::vector<float> UnionOfAngles(const SAILPLAN& sailPlan) {
    std::vector<float> angles;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        for (const auto& pVector : pPolar->m_aVectors) {
            angles.push_back(pVector->m_fAngle);
        }
    }
    std::sort(angles.begin(), angles.end());
    angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
    return angles;
}

PolarFileProblem ProblemAt(int nLine, int nColumn, std::string strMessage) {
    return PolarFileProblem{nLine, nColumn, std::move(strMessage)};
}

PolarFileProblem ProblemAtOffset(std::string_view text, std::size_t nOffset,
                                 std::string strMessage) {
    int nLine = 1;
    std::size_t nLineStart = 0;
    for (std::size_t i = 0; i < nOffset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++nLine;
            nLineStart = i + 1;
        }
    }
    return ProblemAt(nLine, static_cast<int>(nOffset - nLineStart) + 1, std::move(strMessage));
}

float ToHundredth(double dValue) {
    return static_cast<float>(std::round(dValue * 100.0) / 100.0);
}

bool AddPointIfNew(PERF_POLAR& polar, float fAngle, float fSpeed) {
    for (const auto& pVector : polar.m_aVectors) {
        if (pVector->m_fAngle == fAngle) {
            return false;
        }
    }
    polar.InsertVector(polar.GetVectorCount(), fAngle, fSpeed);
    return true;
}
