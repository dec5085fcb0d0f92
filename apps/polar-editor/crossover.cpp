#include "apps/polar-editor/crossover.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "exchange/polar_curve.h"

CrossoverGrid ComputeCrossover(const SailPlanArray& aSailPlans, float fWindStep, float fAngleStep) {
    CrossoverGrid grid;
    grid.fWindStep = fWindStep;
    grid.fAngleStep = fAngleStep;
    float fLow = std::numeric_limits<float>::max();
    float fHigh = std::numeric_limits<float>::lowest();
    for (const auto& pSailPlan : aSailPlans) {
        for (const auto& pPolar : pSailPlan->m_aPolars) {
            fLow = std::min(fLow, pPolar->m_fWindSpeed);
            fHigh = std::max(fHigh, pPolar->m_fWindSpeed);
        }
    }
    if (fLow > fHigh || fWindStep <= 0 || fAngleStep <= 0) {
        return grid;
    }
    grid.fFirstWindSpeed = std::ceil(fLow / fWindStep) * fWindStep;
    grid.nWindSpeeds = static_cast<int>(std::floor((fHigh - grid.fFirstWindSpeed) / fWindStep)) + 1;
    grid.nAngles = static_cast<int>(std::floor(180.0f / fAngleStep)) + 1;
    grid.aFastest.assign(static_cast<std::size_t>(grid.nWindSpeeds * grid.nAngles), -1);
    std::vector<float> aBest(grid.aFastest.size(), 0.0f);
    const auto nAngles = static_cast<std::size_t>(grid.nAngles);
    std::vector<float> aCurves;
    for (std::size_t s = 0; s < aSailPlans.size(); ++s) {
        const PolarArray& polars = aSailPlans[s]->m_aPolars;
        // Each polar's curve at the grid's angles once, NaN outside its range; a cell then
        // costs what SpeedBetweenWindSpeeds does after its two curve readings, with the same
        // arithmetic, so the result is the same.
        aCurves.assign(polars.size() * nAngles, std::numeric_limits<float>::quiet_NaN());
        for (std::size_t p = 0; p < polars.size(); ++p) {
            for (std::size_t a = 0; a < nAngles; ++a) {
                if (const auto speed = SpeedOnCurve(*polars[p], grid.Angle(static_cast<int>(a)))) {
                    aCurves[p * nAngles + a] = *speed;
                }
            }
        }
        for (int nWind = 0; nWind < grid.nWindSpeeds; ++nWind) {
            const float fWind = grid.WindSpeed(nWind);
            const auto it =
                std::lower_bound(polars.begin(), polars.end(), fWind,
                                 [](const auto& p, float w) { return p->m_fWindSpeed < w; });
            if (it == polars.end() || !((*it)->m_fWindSpeed >= fWind)) {
                continue;
            }
            const auto nAbove = static_cast<std::size_t>(it - polars.begin());
            const bool bExact = (*it)->m_fWindSpeed == fWind;
            if (!bExact && nAbove == 0) {
                continue;
            }
            const float* pAbove = &aCurves[nAbove * nAngles];
            const float* pBelow = bExact ? pAbove : &aCurves[(nAbove - 1) * nAngles];
            const float fBelowWind = bExact ? 0.0f : polars[nAbove - 1]->m_fWindSpeed;
            const float t =
                bExact ? 0.0f : (fWind - fBelowWind) / ((*it)->m_fWindSpeed - fBelowWind);
            for (std::size_t a = 0; a < nAngles; ++a) {
                if (std::isnan(pBelow[a]) || std::isnan(pAbove[a])) {
                    continue;
                }
                const float fSpeed = bExact ? pAbove[a] : pBelow[a] + t * (pAbove[a] - pBelow[a]);
                // A tie keeps the earlier sail plan, so the chart does not flicker between
                // equal ones.
                const std::size_t nCell = static_cast<std::size_t>(nWind) * nAngles + a;
                if (fSpeed > aBest[nCell]) {
                    aBest[nCell] = fSpeed;
                    grid.aFastest[nCell] = static_cast<int>(s);
                }
            }
        }
    }
    return grid;
}
