// What a polar holds that no boat does, or that draws nothing.
#include "data/polar_plausibility.h"

#include <algorithm>

#include "data/number_text.h"

namespace {

std::string Knots(float f) {
    return FormatFixed2(f) + " kn";
}

}  // namespace

std::vector<std::string> ImplausibleValues(const SAILPLAN& sailPlan) {
    std::vector<std::string> aFound;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        const std::string strWind = "wind speed " + Knots(pPolar->m_fWindSpeed);
        if (pPolar->m_fWindSpeed > kMaxPlausibleWindSpeed) {
            aFound.push_back(strWind + " is implausible (above 80 kn)");
        }
        const float fRelative = 3.0f * pPolar->m_fWindSpeed + 5.0f;
        for (const auto& pVector : pPolar->m_aVectors) {
            const char* pszWhy = pVector->m_fSpeed > kMaxPlausibleBoatSpeed ? "above 60 kn"
                                 : pVector->m_fSpeed > fRelative
                                     ? "above three times the wind speed plus 5 kn"
                                     : nullptr;
            if (pszWhy != nullptr) {
                aFound.push_back(strWind + ", angle " + FormatFixed2(pVector->m_fAngle) +
                                 ": boat speed " + Knots(pVector->m_fSpeed) + " is implausible (" +
                                 pszWhy + ")");
            }
        }
        const bool bAllZero = !pPolar->m_aVectors.empty() &&
                              std::all_of(pPolar->m_aVectors.begin(), pPolar->m_aVectors.end(),
                                          [](const auto& p) { return p->m_fSpeed == 0.0f; });
        if (bAllZero) {
            aFound.push_back(strWind + ": every boat speed is 0");
        }
    }
    return aFound;
}

std::vector<std::string> PolarsWithoutPoints(const SAILPLAN& sailPlan) {
    std::vector<std::string> aFound;
    for (std::size_t i = 0; i < sailPlan.m_aPolars.size(); ++i) {
        if (sailPlan.m_aPolars[i]->m_aVectors.empty()) {
            aFound.push_back("wind speed " + Knots(sailPlan.m_aPolars[i]->m_fWindSpeed) +
                             " (polar " + std::to_string(i) + ") has no points");
        }
    }
    return aFound;
}
