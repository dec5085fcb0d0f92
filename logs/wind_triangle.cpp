#include "logs/wind_triangle.h"

#include <cmath>

#include "data/angle_units.h"

void TrueWindFromApparent(double dApparentSpeed, double dApparentAngle, double dBoatSpeed,
                          double& dTrueSpeed, double& dTrueAngle) {
    // The apparent wind is the true wind plus the wind of the boat's own motion (from ahead).
    const double a = dApparentAngle * kRadiansPerDegree;
    const double x = dApparentSpeed * std::cos(a) - dBoatSpeed;  // along the boat, from ahead
    const double y = dApparentSpeed * std::sin(a);
    dTrueSpeed = std::hypot(x, y);
    double dAngle = std::atan2(y, x) / kRadiansPerDegree;
    if (dAngle < 0) {
        dAngle += 360.0;
    }
    dTrueAngle = dTrueSpeed > 0 ? dAngle : 0.0;
}
