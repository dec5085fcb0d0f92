#pragma once

#include <cmath>
#include <limits>
#include <optional>

#include "data/angle_units.h"
#include "data/polar_plausibility.h"
#include "logs/log_sample.h"
#include "logs/log_values.h"

// What the instruments of a log said last, as the log is read: the time, the headings, the
// boat speeds and the engine, each with the moment it was read (a value counts for 2 s, the
// engine's for 10 s). Wind readings become samples with the boat speed of their moment, handed
// to the sink.
class InstrumentState {
  public:
    InstrumentState(LogCounts& counts, const LogSink& sink) : m_counts(counts), m_sink(sink) {}

    // The log's clock: the time of day it gave last, with the days past midnight counted on;
    // without time in the log, a second per wind reading.
    double Now() const { return m_bTime ? m_dTime : m_dCounter; }
    void SetTimeOfDay(double dSeconds);
    // A moment of a log without time: a second passes.
    void TickWithoutTime();

    void SetHeadingTrue(double dDegrees);
    void SetHeadingMagnetic(double dDegrees);
    // The heading while it is current, else nothing.
    std::optional<double> HeadingTrue() const;
    std::optional<double> HeadingMagnetic() const;

    // Speed through the water: once a log has it, the boat speed is that.
    void SetWaterSpeed(double dKnots);
    // Speed over ground: the boat speed of a log without speed through the water; with the
    // course over ground (true) where the sentence has it.
    void SetGroundSpeed(double dKnots, std::optional<double> course = std::nullopt);

    // The boat speed while it is current, else nothing: what a wind reading now would take.
    std::optional<double> CurrentBoatSpeed() const {
        double dKnots = 0;
        return BoatSpeed(dKnots) ? std::optional<double>(dKnots) : std::nullopt;
    }

    // Whether the engine turns (an RPM sentence, an engine transducer).
    void SetEngineRunning(bool bRunning);

    // Where a true wind reading came from. A log whose instruments send true wind in two
    // sentence types (MWV and VWT, say), which may be computed differently, is sampled from
    // the first type it has while that type keeps coming (within 10 s); the other's readings
    // are counted and passed over, so that the angle does not jump between the two.
    enum class TrueWindSource : std::uint8_t { None, Mwv, Vwt, Mwd };
    // True wind (kn, angle from the bow 0 to 360): a sample with the current boat speed.
    void TrueWind(double dSpeed, double dFromBow, TrueWindSource source = TrueWindSource::Mwv);
    // Apparent wind: a sample through the wind triangle, unless the log has true wind.
    void ApparentWind(double dSpeed, double dFromBow);
    // A moment that brings its own wind and boat speed (a CSV row): a sample at once, the wind
    // true or, with bApparent, apparent.
    void WindWithBoatSpeed(double dSpeed, double dFromBow, double dBoatSpeed, bool bApparent);

    // From now on, readings beyond the limits of a sailing boat (kMaxPlausibleBoatSpeed and the
    // others) are bad readings: a boat speed is not taken, a wind reading makes no sample.
    void SetPlausibleOnly(bool b) { m_bPlausibleOnly = b; }

    // A line that could not be read.
    void CountBadLine() { ++m_counts.nBadLines; }
    void CountBadChecksum() {
        ++m_counts.nBadLines;
        ++m_counts.nBadChecksums;
    }
    void CountImpossibleValue() {
        ++m_counts.nBadLines;
        ++m_counts.nImpossibleValues;
    }
    // Whether the line just read gave a reading no sample can hold (beyond a float, negative),
    // which makes it a bad line; cleared for the next line.
    bool TakeBadReading() {
        const bool b = m_bBadReading;
        m_bBadReading = false;
        return b;
    }

  private:
    bool Current(double dWhen) const;
    bool BoatSpeed(double& dKnots) const;
    EngineState Engine() const;
    void Emit(double dWindSpeed, double dFromBow, bool bComputed);
    void Deliver(double dWindSpeed, double dFromBow, double dBoatSpeed, bool bComputed);

    LogCounts& m_counts;
    const LogSink& m_sink;
    bool m_bTime = false;
    double m_dTime = 0;
    double m_dDays = 0;
    double m_dCounter = 0;
    bool m_bTrueWindSeen = false;
    TrueWindSource m_trueSource = TrueWindSource::None;
    // The last true wind sampled: when, its speed and angle from the bow.
    double m_dTrueTime = kNever;
    double m_dTrueSpeed = 0;
    double m_dTrueFromBow = 0;
    bool m_bBadReading = false;
    bool m_bPlausibleOnly = false;
    bool m_bWaterSpeedSeen = false;
    // The moments of values never read lie before any log time.
    static constexpr double kNever = -1e301;
    static constexpr double kCurrentSeconds = 2.0;
    static constexpr double kEngineSeconds = 10.0;
    bool m_bEngineRunning = false;
    double m_dEngineTime = kNever;
    double m_dWaterSpeed = 0, m_dWaterSpeedTime = kNever;
    double m_dGroundSpeed = 0, m_dGroundSpeedTime = kNever;
    double m_dCourse = 0, m_dCourseTime = kNever;
    double m_dHeadingTrue = 0, m_dHeadingTrueTime = kNever;
    double m_dHeadingMagnetic = 0, m_dHeadingMagneticTime = kNever;
};

// Defined here, inline: they run for every sentence of a log.

inline void InstrumentState::TickWithoutTime() {
    if (!m_bTime) {
        m_dCounter += 1.0;
    }
}

inline void InstrumentState::SetWaterSpeed(double dKnots) {
    if (m_bPlausibleOnly && !(dKnots <= kMaxPlausibleBoatSpeed)) {
        m_bBadReading = true;
        return;
    }
    m_dWaterSpeed = dKnots;
    m_dWaterSpeedTime = Now();
    m_bWaterSpeedSeen = true;
    ++m_counts.nBoatSpeedReadings;
    ++m_counts.nWaterSpeedReadings;
    m_counts.bSpeedOverGround = false;
}

inline void InstrumentState::SetGroundSpeed(double dKnots, std::optional<double> course) {
    if (m_bPlausibleOnly && !(dKnots <= kMaxPlausibleBoatSpeed)) {
        m_bBadReading = true;
        return;
    }
    m_dGroundSpeed = dKnots;
    m_dGroundSpeedTime = Now();
    m_dCourse = course.value_or(0.0);
    m_dCourseTime = course ? Now() : kNever;
    ++m_counts.nBoatSpeedReadings;
}

inline void InstrumentState::TrueWind(double dSpeed, double dFromBow, TrueWindSource source) {
    m_bTrueWindSeen = true;
    TickWithoutTime();
    if (source != m_trueSource) {
        if (m_trueSource != TrueWindSource::None && Now() - m_dTrueTime <= 10.0) {
            ++m_counts.nSecondTrueWind;
            return;
        }
        m_trueSource = source;
    }
    m_dTrueTime = Now();
    m_dTrueSpeed = dSpeed;
    m_dTrueFromBow = dFromBow;
    Emit(dSpeed, dFromBow, false);
}

inline bool InstrumentState::Current(double dWhen) const {
    return dWhen > kNever && Now() - dWhen <= kCurrentSeconds;
}

inline bool InstrumentState::BoatSpeed(double& dKnots) const {
    if (m_bWaterSpeedSeen) {
        dKnots = m_dWaterSpeed;
        return Current(m_dWaterSpeedTime);
    }
    dKnots = m_dGroundSpeed;
    return Current(m_dGroundSpeedTime);
}

inline EngineState InstrumentState::Engine() const {
    if (m_dEngineTime <= kNever || Now() - m_dEngineTime > kEngineSeconds) {
        return EngineState::Unknown;
    }
    return m_bEngineRunning ? EngineState::Running : EngineState::Off;
}

inline void InstrumentState::Emit(double dWindSpeed, double dFromBow, bool bComputed) {
    double dBoat = 0;
    if (!BoatSpeed(dBoat)) {
        ++m_counts.nWindWithoutBoatSpeed;
        return;
    }
    if (!m_bWaterSpeedSeen) {
        ++m_counts.nOverGroundSamples;
    }
    // Only a reading without any speed through the water takes the speed over ground for all.
    m_counts.bSpeedOverGround = m_counts.nWaterSpeedReadings == 0;
    Deliver(dWindSpeed, dFromBow, dBoat, bComputed);
}

// A sample with values beyond what a float holds (a garbled reading) is no sample.
inline void InstrumentState::Deliver(double dWindSpeed, double dFromBow, double dBoatSpeed,
                                     bool bComputed) {
    // Checked before the conversion to float, which beyond a float's range is undefined.
    const auto reading = [](double d) {
        return d >= 0 && d <= static_cast<double>(std::numeric_limits<float>::max());
    };
    if (!reading(dWindSpeed) || !reading(dBoatSpeed) || !std::isfinite(dFromBow)) {
        m_bBadReading = true;
        return;
    }
    if (m_bPlausibleOnly && (dWindSpeed > kMaxPlausibleWindSpeed ||
                             dBoatSpeed > MaxPlausibleBoatSpeed(static_cast<float>(dWindSpeed)))) {
        m_bBadReading = true;
        return;
    }
    LogSample sample{Now(),
                     static_cast<float>(dWindSpeed),
                     static_cast<float>(FoldAngle(dFromBow)),
                     static_cast<float>(dBoatSpeed),
                     FromPort(dFromBow),
                     Engine()};
    // The speed over ground along the heading: the water speed plus the current's share.
    if (m_bWaterSpeedSeen && Current(m_dCourseTime) && Current(m_dHeadingTrueTime) &&
        std::isfinite(m_dHeadingTrue) && std::isfinite(m_dCourse)) {
        sample.fHeading =
            static_cast<float>(std::fmod(std::fmod(m_dHeadingTrue, 360.0) + 360.0, 360.0));
        sample.fGroundAlong = static_cast<float>(
            m_dGroundSpeed * std::cos((m_dCourse - m_dHeadingTrue) * kRadiansPerDegree));
    }
    ++m_counts.nSamples;
    ++(bComputed ? m_counts.nComputedWindSamples : m_counts.nTrueWindSamples);
    m_sink(sample);
}
