#pragma once

#include <cstdio>
#include <random>
#include <string>

#include "logs/nmea_sentence.h"

// About nBytes of a logger's NMEA: a time stamp, boat speed and true wind every second (three
// sentences a second, a day in some 15 MB).
inline std::string GenerateLog(std::size_t nBytes) {
    const auto withChecksum = [](const char* pszBody) { return NmeaSentence(pszBody) + "\r\n"; };
    std::mt19937 random(1);
    std::uniform_real_distribution<double> jitter(-0.2, 0.2);
    std::string log;
    log.reserve(nBytes + 256);
    for (int t = 0; log.size() < nBytes; ++t) {
        char sz[96];
        std::snprintf(sz, sizeof sz, "GPZDA,%02d%02d%02d.00,01,06,2026,00,00", (t / 3600) % 24,
                      (t / 60) % 60, t % 60);
        log += withChecksum(sz);
        std::snprintf(sz, sizeof sz, "IIVHW,,T,,M,%.2f,N,,K", 6.0 + jitter(random));
        log += withChecksum(sz);
        std::snprintf(sz, sizeof sz, "IIMWV,%.1f,T,%.2f,N,A", 40.0 + (t / 300 % 28) * 5,
                      10.0 + jitter(random));
        log += withChecksum(sz);
    }
    return log;
}
