#pragma once

#include <optional>
#include <vector>

#include "data/sailplan.h"

// The best upwind and downwind angles of a sail plan and the boat speeds there: what a crew
// steers to when beating or running.
struct VmgTargets {
    double dBeatAngle = 0;  // degrees off the wind, 0 to 90
    double dBeatSpeed = 0;  // kn
    double dRunAngle = 0;   // degrees off the wind, 90 to 180
    double dRunSpeed = 0;   // kn

    double BeatVmg() const;  // kn, towards the wind
    double RunVmg() const;   // kn, away from the wind
};

// Each polar's best VMG angles (FindBestVmg), taken once, and the targets at any wind speed
// between the polars': linear in the wind speed between the two polars that enclose it, as
// SpeedBetweenWindSpeeds is; outside the sail plan's wind speeds held at the nearest polar's
// (the rule of SpeedWithEdges). Nothing only for a sail plan without points.
class VmgTargetTable {
  public:
    // The sail plan's polars in ascending order of wind speed (SortSailPlan).
    explicit VmgTargetTable(const SAILPLAN& sailPlan);

    std::optional<VmgTargets> At(double dWindSpeed) const;

  private:
    struct Row {
        double dWindSpeed;
        VmgTargets targets;
    };
    std::vector<Row> m_rows;
};
