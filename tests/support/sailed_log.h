#pragma once

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "data/angle_units.h"
#include "data/sailplan.h"
#include "exchange/exchange.h"
#include "logs/logs.h"
#include "tests/support/polar_builders.h"

// How a generated log is sailed.
struct LogShape {
    unsigned nSeed = 1;
    double dNoise = 0.02;  // the boat speed's noise (a fraction), the wind speed's a quarter of it
    int nLegs = 400;
    int nLegSeconds = 60;  // 0: no sailing, only motoring
    enum class Motoring {
        Random,     // the heading any way each second: never steady
        Wandering,  // the heading turning slowly, 0.8 to 2 degrees a second: often steady
    };
    Motoring motoring = Motoring::Random;
    int nMotoringSeconds = 20;  // after each leg
    // What the log says of the engine, each second: nothing, RPM sentences or XDR tachometers.
    enum class Engine { Silent, Rpm, Xdr };
    Engine engine = Engine::Silent;
    // Whether legs at each angle are sailed on both tacks (else each angle on one).
    bool bBothTacks = false;
    // Sensor errors: the wind angle reads this many degrees clockwise, the speed through the
    // water this many times the true one.
    double dAngleOffset = 0;
    double dSpeedFactor = 1;
    // With bGround, the true heading and the speed and course over ground are logged too, the
    // wind blowing from 0 degrees and a current of dCurrent knots setting towards 90 degrees.
    bool bGround = false;
    double dCurrent = 0;
    // The wind angle's noise while sailing (degrees either way), drawn on its own.
    double dAngleNoise = 0;
};

// A log sailed on a known polar with noise: legs of steady sailing, tacks and gybes between
// them, and motoring stretches at 5 to 6 kn whatever the wind. The sailing draws on its own
// random numbers, so that logs of one seed differing in their motoring sail the same legs.
inline std::string GeneratedLog(const SAILPLAN& plan, const LogShape& shape) {
    std::mt19937 random(shape.nSeed);
    std::mt19937 motoringRandom(shape.nSeed + 1000);
    std::mt19937 angleRandom(shape.nSeed + 2000);
    std::uniform_real_distribution<double> noise(-shape.dNoise, shape.dNoise);
    std::uniform_real_distribution<double> unit(0, 1);
    std::string log;
    int t = 0;
    const auto stamp = [&] {
        char sz[48];
        std::snprintf(sz, sizeof sz, "GPZDA,%02d%02d%02d.00,01,06,2026,00,00", (t / 3600) % 24,
                      (t / 60) % 60, t % 60);
        log += NmeaSentence(sz) + "\n";
    };
    const auto engine = [&](bool bRunning) {
        if (shape.engine == LogShape::Engine::Rpm) {
            log += NmeaSentence(bRunning ? "IIRPM,E,1,2200,,A" : "IIRPM,E,1,0,,A") + "\n";
        } else if (shape.engine == LogShape::Engine::Xdr) {
            log += NmeaSentence(bRunning ? "IIXDR,C,82,C,ENGINE#0,T,2200,R,ENGINE#0"
                                         : "IIXDR,C,30,C,ENGINE#0,T,0,R,ENGINE#0") +
                   "\n";
        }
    };
    const auto sample = [&](double tws, double twaFromBow, double bsp, bool bMotoring) {
        stamp();
        engine(bMotoring);
        char sz[80];
        if (shape.bGround) {
            const double dHeading = std::fmod(720.0 - twaFromBow, 360.0);
            const double h = dHeading * kRadiansPerDegree;
            const double east = bsp * std::sin(h) + shape.dCurrent;
            const double north = bsp * std::cos(h);
            const double dCourse =
                std::fmod(std::atan2(east, north) / kRadiansPerDegree + 360, 360);
            std::snprintf(sz, sizeof sz, "IIHDT,%.1f,T", dHeading);
            log += NmeaSentence(sz) + "\n";
            std::snprintf(sz, sizeof sz, "GPVTG,%.1f,T,,M,%.2f,N,,K,A", dCourse,
                          std::hypot(east, north));
            log += NmeaSentence(sz) + "\n";
        }
        std::snprintf(sz, sizeof sz, "IIVHW,,T,,M,%.2f,N,,K", bsp * shape.dSpeedFactor);
        log += NmeaSentence(sz) + "\n";
        std::snprintf(sz, sizeof sz, "IIMWV,%.1f,T,%.2f,N,A",
                      std::fmod(twaFromBow + shape.dAngleOffset + 360.0, 360.0), tws);
        log += NmeaSentence(sz) + "\n";
        ++t;
    };
    double dHeading = 0;
    for (int leg = 0; leg < shape.nLegs; ++leg) {
        const PERF_POLAR& polar = *plan.m_aPolars[static_cast<std::size_t>(leg) % 3];
        const double twa = 40 + 5 * (leg * 11 % 28);  // 40 to 175
        // Tacks and gybes between legs; each angle on both tacks in turn, or on one.
        const bool bPort = shape.bBothTacks ? (leg + leg / 28) % 2 == 1 : leg % 2 == 1;
        const auto speed = SpeedOnCurve(polar, static_cast<float>(twa));
        for (int k = 0; k < shape.nLegSeconds && speed; ++k) {
            const double dWobble = shape.dAngleNoise * (2 * unit(angleRandom) - 1);
            sample(polar.m_fWindSpeed * (1 + noise(random) / 4),
                   (bPort ? 360 - twa : twa) + dWobble, *speed * (1 + noise(random)), false);
        }
        if (shape.motoring == LogShape::Motoring::Random) {
            for (int k = 0; k < shape.nMotoringSeconds; ++k) {
                sample(polar.m_fWindSpeed, 360 * unit(random), 5.0 + unit(random), true);
            }
            continue;
        }
        // The wind from 0 degrees; the heading turns one way, then another, every half minute.
        double dRate = 0;
        for (int k = 0; k < shape.nMotoringSeconds; ++k) {
            if (k % 30 == 0) {
                dRate = (0.8 + 1.2 * unit(motoringRandom)) * (unit(motoringRandom) < 0.5 ? -1 : 1);
            }
            dHeading = std::fmod(dHeading + dRate + 360.0, 360.0);
            sample(polar.m_fWindSpeed * (1 + 0.005 * (unit(motoringRandom) - 0.5)),
                   std::fmod(360.0 - dHeading, 360.0), 6.0 + 0.1 * (unit(motoringRandom) - 0.5),
                   true);
        }
    }
    return log;
}

// The log of earlier tests: a second's noise, Random motoring of 20 s after each leg.
inline std::string GeneratedLog(const SAILPLAN& plan, unsigned nSeed, double dNoise) {
    LogShape shape;
    shape.nSeed = nSeed;
    shape.dNoise = dNoise;
    return GeneratedLog(plan, shape);
}

// Three polars of a cruising yacht to sail the generated logs on.
inline SAILPLAN KnownPolar() {
    SAILPLAN plan("Known");
    AddPolar(plan, 6, 42,
             {{40, 4.0f}, {60, 5.1f}, {90, 5.8f}, {120, 5.5f}, {150, 4.6f}, {180, 3.6f}});
    AddPolar(plan, 10, 40,
             {{40, 5.6f}, {60, 6.6f}, {90, 7.2f}, {120, 7.0f}, {150, 6.2f}, {180, 5.2f}});
    AddPolar(plan, 14, 38,
             {{40, 6.4f}, {60, 7.2f}, {90, 7.8f}, {120, 7.8f}, {150, 7.3f}, {180, 6.5f}});
    return plan;
}

// What learning from a log gave: the sail plan, the reading's counts, where the samples went
// and the sensors' errors the sailing showed.
struct LearnedLog {
    std::unique_ptr<SAILPLAN> pPlan;
    LogCounts counts;
    StageCounts stages;
    std::optional<double> angleOffset;
    std::optional<double> speedFactor;
    SensorEstimates estimates;
};

inline LearnedLog LearnFromLog(const std::string& log, const LearnOptions& options) {
    Learner learner(options);
    LearnedLog learned;
    ReadLogText(log, learned.counts, [&](const LogSample& s) { learner.Add(s); });
    learned.pPlan = learner.Result("Measured");
    learned.stages = learner.Counts();
    learned.estimates = learner.Estimates();
    learned.angleOffset = learned.estimates.angleOffset.value;
    learned.speedFactor = learned.estimates.speedFactor.value;
    return learned;
}
