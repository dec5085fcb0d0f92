#include "live/performance.h"

#include <cmath>

#include "data/angle_units.h"
#include "exchange/polar_curve.h"

namespace {

double Normalized360(double dDegrees) {
    const double d = std::fmod(dDegrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}

std::optional<double> Finite360(std::optional<double> heading) {
    return heading && std::isfinite(*heading) ? std::optional<double>(Normalized360(*heading))
                                              : std::nullopt;
}

}  // namespace

Performance PerformanceCalculator::Compute(const LogSample& sample,
                                           const Headings& headings) const {
    Performance p;
    p.dTime = sample.dTime;
    p.dWindSpeed = sample.fWindSpeed;
    p.dWindAngle = sample.bPort ? -static_cast<double>(sample.fWindAngle) : sample.fWindAngle;
    p.dBoatSpeed = sample.fBoatSpeed;
    p.dVmg = p.dBoatSpeed * std::cos(p.dWindAngle * kRadiansPerDegree);
    p.bUpwind = sample.fWindAngle < 90.0f;
    p.heading = {Finite360(headings.trueHeading), Finite360(headings.magnetic)};
    // Inside the table the same lookup on the same floats as compare, so that both give the
    // same percentage.
    const std::optional<float> speed =
        SpeedWithEdges(m_sailPlan, sample.fWindSpeed, sample.fWindAngle);
    if (speed) {
        p.polarSpeed = *speed;
        if (*speed > 0) {
            p.polarRatio = static_cast<double>(sample.fBoatSpeed) / static_cast<double>(*speed);
        }
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
    // The wind's direction stays; on the other tack it comes from the other side.
    const double dOffWind = p.targetAngle.value_or(std::fabs(p.dWindAngle));
    const auto other = [&](std::optional<double> heading) -> std::optional<double> {
        if (!heading) {
            return std::nullopt;
        }
        return Normalized360(*heading + p.dWindAngle + p.Side() * dOffWind);
    };
    p.otherTack = {other(p.heading.trueHeading), other(p.heading.magnetic)};
    return p;
}
