#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string>

// What a log said of the engine at a sample's moment.
enum class EngineState : std::uint8_t { Unknown, Off, Running };

// A moment of sailing read from an instrument log: log time in seconds, true wind speed (kn),
// true wind angle folded into 0 to 180 degrees, and boat speed (kn); the side the wind came
// from (bPort: from port, 180 to 360 from the bow before folding) and the engine's state.
// Where the log has the true heading and the speed and course over ground beside the speed
// through the water, the heading (degrees) and the speed over ground along it (kn); else NaN.
struct LogSample {
    double dTime;
    float fWindSpeed;
    float fWindAngle;
    float fBoatSpeed;
    bool bPort = false;
    EngineState engine = EngineState::Unknown;
    float fHeading = std::numeric_limits<float>::quiet_NaN();
    float fGroundAlong = std::numeric_limits<float>::quiet_NaN();
};

// Where a reading hands its samples, one at a time, in log order.
using LogSink = std::function<void(const LogSample&)>;

// What a reading met. Every line that is not blank falls in exactly one of: a sentence read
// (by type in sentences), a sentence without values, another sentence, a CSV header or row
// read, or a bad line.
struct LogCounts {
    std::uint64_t nLines = 0;
    // Bad checksums, truncated or malformed sentences and rows, negative or non-finite readings.
    std::uint64_t nBadLines = 0;
    // Of those: a checksum that does not match (or is cut short), and a reading no instrument
    // gives (negative, beyond a float); the rest are cut or malformed.
    std::uint64_t nBadChecksums = 0;
    std::uint64_t nImpossibleValues = 0;
    // Sentences of a type this reader uses whose values it needs are empty ("$IIHDT,,T", or an
    // MWD with the wind's speed and no direction).
    std::uint64_t nEmptySentences = 0;
    // Sentences with a valid checksum that this reader does not use: AIS ("!AIVDM"),
    // proprietary ("$P..."), and types it does not know.
    std::uint64_t nOtherSentences = 0;
    std::map<std::string, std::uint64_t> sentences;  // NMEA sentences read, by type
    std::uint64_t nSamples = 0;
    std::uint64_t nTrueWindSamples = 0;      // with the true wind the log gave
    std::uint64_t nComputedWindSamples = 0;  // with true wind computed from the apparent wind
    // Wind readings that made no sample: no boat speed was current at their moment.
    std::uint64_t nWindWithoutBoatSpeed = 0;
    std::uint64_t nApparentWithoutBoatSpeed = 0;  // of those, apparent wind
    std::uint64_t nBoatSpeedReadings = 0;
    std::uint64_t nEngineReadings = 0;  // RPM sentences and engine transducers read
    std::uint64_t nTrueHeadingReadings = 0;
    std::uint64_t nMagneticHeadingReadings = 0;
    // Samples whose boat speed is the speed over ground (no speed through the water had been
    // logged yet), and readings of the speed through the water.
    std::uint64_t nOverGroundSamples = 0;
    std::uint64_t nWaterSpeedReadings = 0;
    // Apparent wind readings of 0 kn while the boat moved at 2 kn or more: a wind instrument
    // that is off or broken (its samples are still taken as logged).
    std::uint64_t nCalmApparentUnderWay = 0;
    // True wind readings of a second sentence type passed over (see InstrumentState).
    std::uint64_t nSecondTrueWind = 0;
    // Logged true wind checked against the apparent wind and boat speed of its moment, and of
    // those, how many differed by more than 5 degrees or 15 % and 0.5 kn.
    std::uint64_t nTrueWindChecked = 0;
    std::uint64_t nTrueWindDisagreeing = 0;
    bool bSpeedOverGround = false;  // no speed through water at all: the boat speed is over ground
    bool bTruncated = false;        // a compressed log ended before its end
};
