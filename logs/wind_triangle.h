#pragma once

// True wind from apparent wind (speed, angle from the bow 0 to 360) and the boat's speed through
// the water: the wind triangle. Angle from the bow, 0 to 360, like the apparent one; 0 when
// there is no true wind.
void TrueWindFromApparent(double dApparentSpeed, double dApparentAngle, double dBoatSpeed,
                          double& dTrueSpeed, double& dTrueAngle);
