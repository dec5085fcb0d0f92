#pragma once

#include <cstdio>
#include <random>
#include <string>

#include "data/sailplan.h"
#include "exchange/exchange.h"
#include "logs/logs.h"
#include "tests/support/polar_builders.h"

// A log sailed on a known polar with noise: legs of steady sailing, tacks and gybes between
// them, and motoring stretches with the heading wandering.
inline std::string GeneratedLog(const SAILPLAN& plan, unsigned nSeed, double dNoise) {
    std::mt19937 random(nSeed);
    std::uniform_real_distribution<double> noise(-dNoise, dNoise);
    std::uniform_real_distribution<double> unit(0, 1);
    std::string log;
    int t = 0;
    const auto stamp = [&] {
        char sz[48];
        std::snprintf(sz, sizeof sz, "GPZDA,%02d%02d%02d.00,01,06,2026,00,00", (t / 3600) % 24,
                      (t / 60) % 60, t % 60);
        log += NmeaSentence(sz) + "\n";
    };
    const auto sample = [&](double tws, double twaFromBow, double bsp) {
        stamp();
        char sz[80];
        std::snprintf(sz, sizeof sz, "IIVHW,,T,,M,%.2f,N,,K", bsp);
        log += NmeaSentence(sz) + "\n";
        std::snprintf(sz, sizeof sz, "IIMWV,%.1f,T,%.2f,N,A", twaFromBow, tws);
        log += NmeaSentence(sz) + "\n";
        ++t;
    };
    for (int leg = 0; leg < 400; ++leg) {
        const PERF_POLAR& polar = *plan.m_aPolars[static_cast<std::size_t>(leg) % 3];
        const double twa = 40 + 5 * (leg * 11 % 28);  // 40 to 175
        const bool bPort = leg % 2 == 1;              // tacks and gybes between legs
        const auto speed = SpeedOnCurve(polar, static_cast<float>(twa));
        for (int k = 0; k < 60 && speed; ++k) {
            sample(polar.m_fWindSpeed * (1 + noise(random) / 4), bPort ? 360 - twa : twa,
                   *speed * (1 + noise(random)));
        }
        for (int k = 0; k < 20; ++k) {  // motoring, heading wandering
            sample(polar.m_fWindSpeed, 360 * unit(random), 5.0 + unit(random));
        }
    }
    return log;
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
