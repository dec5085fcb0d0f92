#pragma once

#include <string>
#include <string_view>

#include "live/performance.h"

// A performance as one Signal K delta (JSON, one line, no line end) for the own vessel, with
// the performance group's paths as Signal K names them, in SI units:
//   velocityMadeGood (m/s, negative downwind), polarSpeed (m/s), polarSpeedRatio (a ratio);
//   targetAngle, beatAngle, gybeAngle (rad off the wind, signed as Signal K's wind angles are:
//   negative with the wind from port); targetSpeed, beatAngleTargetSpeed, gybeAngleTargetSpeed
//   (m/s); beatAngleVelocityMadeGood (m/s), gybeAngleVelocityMadeGood (m/s, negative as
//   downwind VMG is); tackTrue, tackMagnetic (rad, 0 to 2 pi: the heading on the other tack);
//   and targetVelocityMadeGoodRatio (the VMG as a ratio of the leg's target VMG, a path of our
//   own: Signal K has none for it).
// What is not known is left out. strTimestamp is an RFC 3339 UTC time
// ("2026-05-01T12:00:00.000Z"); empty leaves the time to the server.
std::string SignalKDelta(const Performance& performance, std::string_view strTimestamp);
