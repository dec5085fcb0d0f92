#include "live/performance.h"

#include <cmath>

#include "data/angle_units.h"
#include "exchange/polar_curve.h"

namespace {

double Normalized360(double dDegrees) {
    const double d = std::fmod(dDegrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}

}  // namespace

Performance PerformanceCalculator::Compute(const LogSample& sample,
                                           std::optional<double> heading) const {
    Performance p;
    p.dTime = sample.dTime;
    p.dWindSpeed = sample.fWindSpeed;
    p.dWindAngle = sample.bPort ? -static_cast<double>(sample.fWindAngle) : sample.fWindAngle;
    p.dBoatSpeed = sample.fBoatSpeed;
    p.dVmg = p.dBoatSpeed * std::cos(p.dWindAngle * kRadiansPerDegree);
    p.bUpwind = sample.fWindAngle < 90.0f;
    if (heading && std::isfinite(*heading)) {
        p.heading = Normalized360(*heading);
    }
    // The same lookup on the same floats as compare, so that both give the same percentage.
    const std::optional<float> speed =
        SpeedBetweenWindSpeeds(m_sailPlan, sample.fWindSpeed, sample.fWindAngle);
    if (speed && *speed > 0) {
        p.polarSpeed = *speed;
        p.polarRatio = static_cast<double>(sample.fBoatSpeed) / static_cast<double>(*speed);
    }
    p.targets = m_targets.At(p.dWindSpeed);
    if (p.targets) {
        p.targetAngle = p.bUpwind ? p.targets->dBeatAngle : p.targets->dRunAngle;
        p.targetSpeed = p.bUpwind ? p.targets->dBeatSpeed : p.targets->dRunSpeed;
        const double dTargetVmg = p.bUpwind ? p.targets->BeatVmg() : p.targets->RunVmg();
        if (dTargetVmg > 0) {
            p.targetVmgRatio = std::fabs(p.dVmg) / dTargetVmg;
        }
    }
    if (p.heading) {
        // The wind's direction stays; on the other tack it comes from the other side.
        const double dWindDirection = *p.heading + p.dWindAngle;
        const double dOffWind = p.targetAngle.value_or(std::fabs(p.dWindAngle));
        const double dSide = sample.bPort ? -1.0 : 1.0;
        p.otherTackHeading = Normalized360(dWindDirection + dSide * dOffWind);
    }
    return p;
}
