#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "data/angle_units.h"
#include "data/sailplan.h"
#include "exchange/polar_curve.h"
#include "logs/nmea_sentence.h"
#include "tests/support/polar_builders.h"

// A second generator of logs, made apart from GeneratedLog so that what is estimated from logs
// is not tuned to one generator: a day of racing at 2 Hz on another boat's polar, the wind
// drifting in speed through the day with gusts and oscillating in direction, the boat steered
// to a target angle with steering error and following the polar with a lag, legs of a few
// minutes on either tack in any share, RMC time stamps, the sentences in another order; and
// motoring of other shapes than GeneratedLog's.
struct RaceShape {
    unsigned nSeed = 1;
    double dHours = 6;
    double dPortShare = 0.3;  // of the legs
    // Sensor errors: the wind angle reads this many degrees clockwise, the log this many times
    // the speed through the water; the angle's noise uniform either way.
    double dAngleOffset = 0;
    double dSpeedFactor = 1;
    double dAngleNoise = 3;
    // A current setting towards 135 degrees (kn); true heading and RMC course and speed over
    // ground are logged with bGround.
    bool bGround = true;
    double dCurrent = 0;
    // Motoring, none by default: stretches of each shape after every few legs, or only
    // motoring.
    bool bMotoring = false;
    bool bOnlyMotoring = false;
    // Whether the motoring is logged: without, the log has gaps where it motored and is the
    // same sailing, sentence for sentence.
    bool bLogMotoring = true;
};

// A 40-foot racer's polar.
inline SAILPLAN RacePolar() {
    SAILPLAN plan("Racer");
    AddPolar(plan, 6, 44,
             {{36, 3.4f},
              {44, 4.3f},
              {52, 4.8f},
              {60, 5.3f},
              {75, 5.8f},
              {90, 5.9f},
              {110, 5.8f},
              {130, 5.2f},
              {150, 4.2f},
              {165, 3.6f},
              {180, 3.3f}});
    AddPolar(plan, 10, 41,
             {{34, 5.0f},
              {41, 6.2f},
              {50, 6.8f},
              {60, 7.3f},
              {75, 7.7f},
              {90, 7.8f},
              {110, 7.9f},
              {130, 7.4f},
              {150, 6.6f},
              {165, 5.8f},
              {180, 5.3f}});
    AddPolar(plan, 14, 39,
             {{32, 5.8f},
              {39, 6.9f},
              {48, 7.4f},
              {60, 7.9f},
              {75, 8.2f},
              {90, 8.4f},
              {110, 8.7f},
              {130, 8.6f},
              {150, 8.0f},
              {165, 7.1f},
              {180, 6.6f}});
    AddPolar(plan, 20, 38,
             {{32, 6.3f},
              {38, 7.3f},
              {48, 7.9f},
              {60, 8.3f},
              {75, 8.7f},
              {90, 9.0f},
              {110, 9.6f},
              {130, 10.0f},
              {150, 9.6f},
              {165, 8.4f},
              {180, 7.7f}});
    return plan;
}

inline std::string RaceLog(const SAILPLAN& plan, const RaceShape& shape) {
    std::mt19937 random(shape.nSeed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> normal(0, 1);
    std::string log;
    const double dStep = 0.5;
    double t = 8 * 3600.0;
    const double dEnd = t + shape.dHours * 3600.0;
    double dGust = 0;      // relative, first-order
    double dSteering = 0;  // degrees, first-order
    double dBoat = 5;
    bool bWrite = true;
    const auto record = [&](double tws, double twd, double dHeading, double bsp) {
        const double dNoise = shape.dAngleNoise * (2 * unit(random) - 1);
        if (!bWrite) {
            t += dStep;
            return;
        }
        char sz[120];
        const int nSecond = static_cast<int>(t);
        const double h = dHeading * kRadiansPerDegree;
        const double c = 135 * kRadiansPerDegree;
        const double east = bsp * std::sin(h) + shape.dCurrent * std::sin(c);
        const double north = bsp * std::cos(h) + shape.dCurrent * std::cos(c);
        const double dCourse = std::fmod(std::atan2(east, north) / kRadiansPerDegree + 360, 360);
        std::snprintf(sz, sizeof sz,
                      "GPRMC,%02d%02d%05.2f,A,5030.000,N,00115.000,W,%.2f,%.1f,010626,,,A",
                      (nSecond / 3600) % 24, (nSecond / 60) % 60, std::fmod(t, 60.0),
                      shape.bGround ? std::hypot(east, north) : 0.0, shape.bGround ? dCourse : 0.0);
        log += NmeaSentence(sz) + "\r\n";
        const double dFromBow = std::fmod(twd - dHeading + 720.0, 360.0);
        const double dRead = dFromBow + shape.dAngleOffset + dNoise;
        std::snprintf(sz, sizeof sz, "WIMWV,%.1f,T,%.1f,N,A", std::fmod(dRead + 720.0, 360.0), tws);
        log += NmeaSentence(sz) + "\r\n";
        std::snprintf(sz, sizeof sz, "VWVHW,,T,,M,%.2f,N,,K", bsp * shape.dSpeedFactor);
        log += NmeaSentence(sz) + "\r\n";
        if (shape.bGround) {
            std::snprintf(sz, sizeof sz, "HCHDT,%.1f,T", dHeading);
            log += NmeaSentence(sz) + "\r\n";
        }
        t += dStep;
    };
    const auto wind = [&](double& tws, double& twd) {
        dGust = 0.97 * dGust + 0.012 * normal(random);
        tws = (12 + 5 * std::sin(t / 9000.0)) * (1 + dGust);
        twd = std::fmod(220 + 8 * std::sin(t / 95.0) + 10 * std::sin(t / 4000.0) + 360, 360);
    };
    // Motoring: each shape for two to five minutes.
    int nShape = 0;
    const auto motor = [&] {
        const double dUntil = t + 120 + 180 * unit(random);
        const int n = nShape++ % 4;
        const double dSide = unit(random) < 0.5 ? 1 : -1;
        const double dAngle = n == 0   ? 15 * unit(random)        // straight into the wind
                              : n == 1 ? 30 + 30 * unit(random)   // motor-sailing
                              : n == 2 ? 155 + 25 * unit(random)  // downwind, faster than the wind
                                       : 360 * unit(random);      // the harbour
        double dHeadingOffset = dSide * dAngle;
        bWrite = shape.bLogMotoring;
        while (t < dUntil) {
            double tws = 0;
            double twd = 0;
            wind(tws, twd);
            double bsp = 6.2 + 0.1 * normal(random);
            if (n == 1 || n == 2) {
                tws = std::min(tws, 4.5 + 0.2 * normal(random));  // why one motors: no wind
                bsp = 6.5 + 0.05 * normal(random);
            }
            if (n == 3) {
                bsp = 2 + 0.3 * unit(random);
                if (std::fmod(t, 30.0) < dStep) {
                    dHeadingOffset = 360 * unit(random);  // a turn every half minute
                }
            }
            // Motoring holds a course over ground, not an angle to the wind.
            record(tws, n == 3 ? 220 : twd, std::fmod(220 - dHeadingOffset + 720, 360), bsp);
        }
        bWrite = true;
    };
    for (int nLeg = 0; t < dEnd; ++nLeg) {
        if (shape.bOnlyMotoring || (shape.bMotoring && nLeg % 3 == 2)) {
            motor();
            if (shape.bOnlyMotoring) {
                continue;
            }
        }
        const bool bPort = unit(random) < shape.dPortShare;
        const double dKind = unit(random);
        const double dTarget = dKind < 0.35   ? 38 + 6 * unit(random)
                               : dKind < 0.75 ? 60 + 80 * unit(random)
                                              : 145 + 25 * unit(random);
        const double dUntil = t + 240 + 480 * unit(random);
        // A tack or gybe first: half a minute turning, the boat slowing.
        for (double dTurn = 0; dTurn < 30; dTurn += dStep) {
            double tws = 0;
            double twd = 0;
            wind(tws, twd);
            dBoat *= 0.995;
            record(tws, twd, std::fmod(twd + (bPort ? 1 : -1) * (180 - 6 * dTurn) + 720, 360),
                   dBoat);
        }
        while (t < dUntil) {
            double tws = 0;
            double twd = 0;
            wind(tws, twd);
            dSteering = 0.95 * dSteering + 0.6 * normal(random);
            const double dAngle = std::clamp(dTarget + dSteering, 30.0, 180.0);
            const auto speed = SpeedBetweenWindSpeeds(
                plan, static_cast<float>(std::clamp(tws, 6.0, 20.0)), static_cast<float>(dAngle));
            const double dPolar = speed ? *speed : dBoat;
            dBoat += (dPolar - dBoat) * dStep / 8;  // the boat follows in some 8 s
            const double dHeading = bPort ? twd + dAngle : twd - dAngle;
            record(tws, twd, std::fmod(dHeading + 720, 360), dBoat * (1 + 0.01 * normal(random)));
        }
    }
    return log;
}
