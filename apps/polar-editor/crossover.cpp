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
    for (int nWind = 0; nWind < grid.nWindSpeeds; ++nWind) {
        for (int nAngle = 0; nAngle < grid.nAngles; ++nAngle) {
            float fBest = 0;
            int nBest = -1;
            for (std::size_t i = 0; i < aSailPlans.size(); ++i) {
                const auto speed = SpeedBetweenWindSpeeds(*aSailPlans[i], grid.WindSpeed(nWind),
                                                          grid.Angle(nAngle));
                // A tie keeps the earlier sail plan, so the chart does not flicker between
                // equal ones.
                if (speed && *speed > fBest) {
                    fBest = *speed;
                    nBest = static_cast<int>(i);
                }
            }
            grid.aFastest[static_cast<std::size_t>(nWind * grid.nAngles + nAngle)] = nBest;
        }
    }
    return grid;
}
