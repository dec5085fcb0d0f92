#pragma once

#include <optional>

#include "live/performance.h"
#include "logs/log_sample.h"

// An exponential average of the instruments' readings, as instruments damp their displays:
// each new reading moves the average by 1 - exp(-dt / T) of its distance, dt the time since
// the reading before. Speeds are averaged as they are, angles and headings as directions (so
// that 359 and 1 average to 0). A time constant of 0 passes every reading through.
class InputDamping {
  public:
    explicit InputDamping(double dSeconds) : m_dSeconds(dSeconds) {}

    // The damped wind reading and headings at dNow (seconds, any origin).
    LogSample Add(const LogSample& sample, Headings& headings, double dNow);

  private:
    struct Direction {
        double dX = 0;
        double dY = 0;
    };
    double Weight(double dNow) const;

    double m_dSeconds;
    bool m_bStarted = false;
    double m_dLast = 0;
    double m_dWindSpeed = 0;
    double m_dBoatSpeed = 0;
    Direction m_wind;
    std::optional<Direction> m_headingTrue;
    std::optional<Direction> m_headingMagnetic;
};
