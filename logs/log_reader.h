#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

// A moment of sailing read from an instrument log: log time in seconds, true wind speed (kn),
// true wind angle folded into 0 to 180 degrees, and boat speed (kn).
struct LogSample {
    double dTime;
    float fWindSpeed;
    float fWindAngle;
    float fBoatSpeed;
};

// What a reading met.
struct LogCounts {
    std::uint64_t nLines = 0;
    std::uint64_t nBadLines = 0;  // bad checksums, truncated or malformed sentences and rows
    std::map<std::string, std::uint64_t> sentences;  // NMEA sentences used, by type
    std::uint64_t nSamples = 0;
    bool bSpeedOverGround = false;  // no speed through water: the boat speed is over ground
    bool bApparentWind = false;     // no true wind: it was computed from the apparent wind
    bool bTruncated = false;        // a compressed log ended before its end
};

// True wind from apparent wind (speed, angle from the bow 0 to 360) and the boat's speed through
// the water: the wind triangle. Angle from the bow, 0 to 360, like the apparent one.
void TrueWindFromApparent(double dApparentSpeed, double dApparentAngle, double dBoatSpeed,
                          double& dTrueSpeed, double& dTrueAngle);

// Reads one log (NMEA 0183 text, or CSV with a header naming its columns; gzip-compressed when
// its name ends in .gz) and hands every sample to the sink, in log order. Memory does not grow
// with the log. "-" reads standard input (compressed or not). False, with the reason, when the
// file cannot be read.
bool ReadLog(const std::string& strPath, LogCounts& counts,
             const std::function<void(const LogSample&)>& sink, std::string& strError);

// A sentence as loggers write it: "$" body "*" two hex digits of its checksum.
std::string NmeaSentence(std::string_view body);

// The same for text in memory (for tests and the fuzz target).
void ReadLogText(std::string_view text, LogCounts& counts,
                 const std::function<void(const LogSample&)>& sink);
