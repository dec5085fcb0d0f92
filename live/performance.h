#pragma once

#include <optional>

#include "data/sailplan.h"
#include "live/vmg_targets.h"
#include "logs/log_sample.h"

// The sailing of one moment against a sail plan. Speeds in knots, angles in degrees.
struct Performance {
    double dTime = 0;               // the log's clock (InstrumentState::Now)
    double dWindSpeed = 0;          // true wind speed
    double dWindAngle = 0;          // true wind angle from the bow, -180 to 180, negative from port
    double dBoatSpeed = 0;          // through the water, else over ground (as learn takes it)
    double dVmg = 0;                // boat speed along the wind: positive upwind, negative downwind
    bool bUpwind = false;           // the wind less than 90 degrees off the bow
    bool bWindReading = true;       // from a wind reading; else a boat speed with the last wind
    std::optional<double> heading;  // true where known, else magnetic; 0 to 360
    std::optional<double> polarSpeed;   // the sail plan's speed here (as compare takes it)
    std::optional<double> polarRatio;   // boat speed / polar speed
    std::optional<VmgTargets> targets;  // beat and run at this wind speed
    // The leg's target (beat upwind, run downwind): angle off the wind, speed, and how much of
    // the target VMG is sailed (a ratio).
    std::optional<double> targetAngle;
    std::optional<double> targetSpeed;
    std::optional<double> targetVmgRatio;
    // The heading that sails the target angle (else the present one) on the other tack or
    // gybe, 0 to 360; needs the heading.
    std::optional<double> otherTackHeading;
};

// What a moment's sample makes against a sail plan; the sail plan sorted (SortSailPlan) and
// alive as long as the calculator.
class PerformanceCalculator {
  public:
    explicit PerformanceCalculator(const SAILPLAN& sailPlan)
        : m_sailPlan(sailPlan), m_targets(sailPlan) {}

    Performance Compute(const LogSample& sample, std::optional<double> heading) const;

  private:
    const SAILPLAN& m_sailPlan;
    VmgTargetTable m_targets;
};
