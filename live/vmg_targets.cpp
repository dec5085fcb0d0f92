#include "live/vmg_targets.h"

#include <algorithm>
#include <cmath>

#include "data/angle_units.h"
#include "exchange/polar_curve.h"

double VmgTargets::BeatVmg() const {
    return dBeatSpeed * std::cos(dBeatAngle * kRadiansPerDegree);
}

double VmgTargets::RunVmg() const {
    return -dRunSpeed * std::cos(dRunAngle * kRadiansPerDegree);
}

namespace {

// The boat speed that makes a VMG at an angle; none where the angle makes no VMG.
double SpeedForVmg(double dVmg, double dAngle) {
    const double dCos = std::fabs(std::cos(dAngle * kRadiansPerDegree));
    return dCos > 1e-9 ? dVmg / dCos : 0.0;
}

}  // namespace

VmgTargetTable::VmgTargetTable(const SAILPLAN& sailPlan) {
    for (const auto& polar : sailPlan.m_aPolars) {
        const std::optional<BestVmg> best = FindBestVmg(*polar);
        if (!best) {
            continue;  // a polar without points has no targets, and none between it and others
        }
        VmgTargets targets;
        targets.dBeatAngle = best->fUpwindAngle;
        targets.dBeatSpeed = SpeedForVmg(best->fUpwindVmg, best->fUpwindAngle);
        targets.dRunAngle = best->fDownwindAngle;
        targets.dRunSpeed = SpeedForVmg(best->fDownwindVmg, best->fDownwindAngle);
        m_rows.push_back({polar->m_fWindSpeed, targets});
    }
}

std::optional<VmgTargets> VmgTargetTable::At(double dWindSpeed) const {
    if (m_rows.empty() || std::isnan(dWindSpeed)) {
        return std::nullopt;
    }
    // Held at the table's edges, as the polar speed is (SpeedWithEdges).
    dWindSpeed = std::clamp(dWindSpeed, m_rows.front().dWindSpeed, m_rows.back().dWindSpeed);
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), dWindSpeed,
                                     [](const Row& r, double w) { return r.dWindSpeed < w; });
    if (it == m_rows.end() || !(it->dWindSpeed >= dWindSpeed)) {
        return std::nullopt;
    }
    if (it->dWindSpeed == dWindSpeed) {
        return it->targets;
    }
    if (it == m_rows.begin()) {
        return std::nullopt;
    }
    const Row& below = *(it - 1);
    const double t = (dWindSpeed - below.dWindSpeed) / (it->dWindSpeed - below.dWindSpeed);
    const auto mix = [t](double a, double b) { return a + t * (b - a); };
    const VmgTargets& a = below.targets;
    const VmgTargets& b = it->targets;
    return VmgTargets{mix(a.dBeatAngle, b.dBeatAngle), mix(a.dBeatSpeed, b.dBeatSpeed),
                      mix(a.dRunAngle, b.dRunAngle), mix(a.dRunSpeed, b.dRunSpeed)};
}
