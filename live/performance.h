#pragma once

#include <optional>

#include "data/sailplan.h"
#include "live/vmg_targets.h"
#include "logs/log_sample.h"

// The headings of a moment, each while it is current; degrees, 0 to 360.
struct Headings {
    std::optional<double> trueHeading;
    std::optional<double> magnetic;
};

// The sailing of one moment against a sail plan. Speeds in knots, angles in degrees.
struct Performance {
    double dTime = 0;       // the log's clock (InstrumentState::Now)
    double dWindSpeed = 0;  // true wind speed
    double dWindAngle = 0;  // true wind angle from the bow, -180 to 180, negative from port
    double dBoatSpeed = 0;  // through the water, else over ground (as learn takes it)
    double dVmg = 0;        // boat speed along the wind: positive upwind, negative downwind
    bool bUpwind = false;   // the wind less than 90 degrees off the bow
    Headings heading;       // 0 to 360
    // The sail plan's speed here (SpeedWithEdges: held at the table's edges) and the boat's
    // share of it; known wherever the sail plan has points (the ratio where that speed is not
    // 0, as it is head to wind).
    std::optional<double> polarSpeed;
    std::optional<double> polarRatio;
    std::optional<VmgTargets> targets;  // beat and run at this wind speed, held at the edges
    // The leg's target (beat upwind, run downwind): angle off the wind, speed, and how much of
    // the target VMG is sailed (a ratio).
    std::optional<double> targetAngle;
    std::optional<double> targetSpeed;
    std::optional<double> targetVmgRatio;
    // The heading that sails the target angle (else the present one) on the other tack or
    // gybe, 0 to 360, from each heading there is.
    Headings otherTack;

    // The side the wind comes from: -1 from port, else 1 (Signal K's sign of wind angles).
    double Side() const { return dWindAngle < 0 ? -1.0 : 1.0; }
};

// What a moment's sample makes against a sail plan; the sail plan sorted (SortSailPlan) and
// alive as long as the calculator.
class PerformanceCalculator {
  public:
    explicit PerformanceCalculator(const SAILPLAN& sailPlan)
        : m_sailPlan(sailPlan), m_targets(sailPlan) {}

    Performance Compute(const LogSample& sample, const Headings& headings) const;

  private:
    const SAILPLAN& m_sailPlan;
    VmgTargetTable m_targets;
};
