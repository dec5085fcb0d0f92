#pragma once

#include <string>
#include <string_view>

#include "live/performance.h"

// A performance as one Signal K delta (JSON, one line, no line end) for the own vessel, in SI
// units: performance.velocityMadeGood, polarSpeed, targetSpeed (m/s); polarSpeedRatio (a
// ratio); targetAngle, beatAngle, gybeAngle (rad, off the wind). What is not known is left
// out. strTimestamp is an RFC 3339 UTC time ("2026-05-01T12:00:00.000Z"); empty leaves the
// time to the server.
std::string SignalKDelta(const Performance& performance, std::string_view strTimestamp);
