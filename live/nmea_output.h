#pragma once

#include <string>

#include "live/performance.h"

// A performance as NMEA 0183 sentences for the displays, each ending in CR LF, each with its
// checksum:
//   $IIVPW,VMG kn,N,VMG m/s,M              the speed along the wind (negative downwind)
//   $PNKEP,01,target kn,N,target km/h,K    the leg's target speed
//   $PNKEP,02,heading                      the heading on the other tack, 0 to 360
//   $PNKEP,03,angle,VMG %,polar %          the target angle (0 to 360 from the bow, on this
//                                          tack), the percentages of target VMG and polar speed
//   $IIXDR,G,kn,N,PolarSpeed,G,%,P,PolarRatio
//   $IIXDR,A,degrees,D,TargetAngle,G,kn,N,TargetSpeed
// A sentence is left out when what it tells is not known (no heading, no polar at this wind),
// and when its values would make it longer than NMEA 0183's 82 characters.
std::string PerformanceSentences(const Performance& performance);
