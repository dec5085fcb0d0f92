#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

// A moment of sailing read from an instrument log: log time in seconds, true wind speed (kn),
// true wind angle folded into 0 to 180 degrees, and boat speed (kn).
struct LogSample {
    double dTime;
    float fWindSpeed;
    float fWindAngle;
    float fBoatSpeed;
};

// Where a reading hands its samples, one at a time, in log order.
using LogSink = std::function<void(const LogSample&)>;

// What a reading met.
struct LogCounts {
    std::uint64_t nLines = 0;
    std::uint64_t nBadLines = 0;  // bad checksums, truncated or malformed sentences and rows
    std::map<std::string, std::uint64_t> sentences;  // NMEA sentences read, by type
    std::uint64_t nSamples = 0;
    bool bSpeedOverGround = false;  // no speed through water: the boat speed is over ground
    bool bApparentWind = false;     // no true wind: it was computed from the apparent wind
    bool bTruncated = false;        // a compressed log ended before its end
};
