#pragma once

#include <optional>
#include <string>

#include "live/performance.h"

// A performance as NMEA 0183 sentences for the displays, each ending in CR LF, each with its
// checksum, each field in its documented range:
//   $IIVPW,VMG kn,N,VMG m/s,M              the speed along the wind (negative downwind)
//   $PNKEP,01,target kn,N,target km/h,K    the leg's target speed
//   $PNKEP,02,heading                      the magnetic heading on the other tack, 0 to 359.9
//   $PNKEP,03,angle,up %,down %            the target angle from the bow, 0 to 359.9 clockwise
//                                          (317.4 is 42.6 off the wind on port tack); the
//                                          percentage of target VMG (0 to 99) in the field of
//                                          the leg sailed, the other one empty
//   $IIXDR,G,kn,,PolarSpeed,G,%,,PolarRatio             generic transducers: no unit
//   $IIXDR,A,degrees,D,TargetAngle,G,kn,,TargetSpeed    the angle signed, port negative
// A sentence is left out when what it tells is not known (no magnetic heading, no polar).
// Nothing at all when a sentence would be longer than NMEA 0183's 82 characters (values no
// instrument gives, as a polar of 1e30 kn): a display gets a whole update or none.
std::optional<std::string> PerformanceSentences(const Performance& performance);
