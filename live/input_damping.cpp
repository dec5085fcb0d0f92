#include "live/input_damping.h"

#include <cmath>

#include "data/angle_units.h"

namespace {

double DegreesOf(double dX, double dY) {
    return std::atan2(dY, dX) / kRadiansPerDegree;
}

}  // namespace

double InputDamping::Weight(double dNow) const {
    const double dElapsed = dNow - m_dLast;
    if (!(dElapsed > 0)) {
        return 0.0;  // the same moment (or a clock gone back): the average stays
    }
    return 1.0 - std::exp(-dElapsed / m_dSeconds);
}

LogSample InputDamping::Add(const LogSample& sample, Headings& headings, double dNow) {
    if (!(m_dSeconds > 0)) {
        return sample;
    }
    const double dSigned = sample.bPort ? -sample.fWindAngle : sample.fWindAngle;
    const auto direction = [](double dDegrees) {
        return Direction{std::cos(dDegrees * kRadiansPerDegree),
                         std::sin(dDegrees * kRadiansPerDegree)};
    };
    const double w = m_bStarted ? Weight(dNow) : 1.0;
    const auto move = [w](double& dAverage, double dValue) { dAverage += w * (dValue - dAverage); };
    const auto moveDirection = [&](std::optional<Direction>& average,
                                   std::optional<double> heading) {
        if (!heading) {
            average.reset();  // no heading now: none damped either, and a fresh start later
            return;
        }
        const Direction d = direction(*heading);
        if (!average) {
            average = d;
            return;
        }
        move(average->dX, d.dX);
        move(average->dY, d.dY);
    };
    move(m_dWindSpeed, sample.fWindSpeed);
    move(m_dBoatSpeed, sample.fBoatSpeed);
    const Direction wind = direction(dSigned);
    move(m_wind.dX, wind.dX);
    move(m_wind.dY, wind.dY);
    moveDirection(m_headingTrue, headings.trueHeading);
    if (m_headingTrue) {
        headings.trueHeading = DegreesOf(m_headingTrue->dX, m_headingTrue->dY);
    }
    moveDirection(m_headingMagnetic, headings.magnetic);
    if (m_headingMagnetic) {
        headings.magnetic = DegreesOf(m_headingMagnetic->dX, m_headingMagnetic->dY);
    }
    m_bStarted = true;
    m_dLast = dNow;

    LogSample damped = sample;
    const double dAngle = DegreesOf(m_wind.dX, m_wind.dY);
    damped.fWindSpeed = static_cast<float>(m_dWindSpeed);
    damped.fBoatSpeed = static_cast<float>(m_dBoatSpeed);
    damped.fWindAngle = static_cast<float>(std::fabs(dAngle));
    damped.bPort = dAngle < 0;
    return damped;
}
