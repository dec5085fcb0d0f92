#include "apps/polar-editor/target_table.h"

#include "exchange/polar_curve.h"

std::vector<TargetRow> TargetsOfSailPlan(const SAILPLAN& sailPlan) {
    std::vector<TargetRow> rows;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        const auto best = FindBestVmg(*pPolar);
        if (!best) {
            continue;
        }
        // The best angles lie on the curve, so the curve has a speed there.
        rows.push_back({pPolar->m_fWindSpeed, best->fUpwindAngle,
                        SpeedOnCurve(*pPolar, best->fUpwindAngle).value_or(0), best->fUpwindVmg,
                        best->fDownwindAngle,
                        SpeedOnCurve(*pPolar, best->fDownwindAngle).value_or(0),
                        best->fDownwindVmg});
    }
    return rows;
}
