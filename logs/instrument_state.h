#pragma once

#include <cmath>
#include <optional>

#include "logs/log_sample.h"
#include "logs/log_values.h"

// What the instruments of a log said last, as the log is read: the time, the headings and the
// boat speeds, each with the moment it was read (a value counts for 2 s). Wind readings become
// samples with the boat speed of their moment, handed to the sink.
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
    // Speed over ground: the boat speed of a log without speed through the water.
    void SetGroundSpeed(double dKnots);

    // True wind (kn, angle from the bow 0 to 360): a sample with the current boat speed.
    void TrueWind(double dSpeed, double dFromBow);
    // Apparent wind: a sample through the wind triangle, unless the log has true wind.
    void ApparentWind(double dSpeed, double dFromBow);
    // A moment that brings its own wind and boat speed (a CSV row): a sample at once, the wind
    // true or, with bApparent, apparent.
    void WindWithBoatSpeed(double dSpeed, double dFromBow, double dBoatSpeed, bool bApparent);

    // A line that could not be read.
    void CountBadLine() { ++m_counts.nBadLines; }

  private:
    bool Current(double dWhen) const;
    bool BoatSpeed(double& dKnots) const;
    void Emit(double dWindSpeed, double dFromBow);
    void Deliver(const LogSample& sample);

    LogCounts& m_counts;
    const LogSink& m_sink;
    bool m_bTime = false;
    double m_dTime = 0;
    double m_dDays = 0;
    double m_dCounter = 0;
    bool m_bTrueWindSeen = false;
    bool m_bWaterSpeedSeen = false;
    // The moments of values never read lie before any log time.
    static constexpr double kNever = -1e301;
    static constexpr double kCurrentSeconds = 2.0;
    double m_dWaterSpeed = 0, m_dWaterSpeedTime = kNever;
    double m_dGroundSpeed = 0, m_dGroundSpeedTime = kNever;
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
    m_dWaterSpeed = dKnots;
    m_dWaterSpeedTime = Now();
    m_bWaterSpeedSeen = true;
}

inline void InstrumentState::SetGroundSpeed(double dKnots) {
    m_dGroundSpeed = dKnots;
    m_dGroundSpeedTime = Now();
}

inline void InstrumentState::TrueWind(double dSpeed, double dFromBow) {
    m_bTrueWindSeen = true;
    TickWithoutTime();
    Emit(dSpeed, dFromBow);
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

inline void InstrumentState::Emit(double dWindSpeed, double dFromBow) {
    double dBoat = 0;
    if (!BoatSpeed(dBoat)) {
        return;
    }
    m_counts.bSpeedOverGround = m_counts.bSpeedOverGround || !m_bWaterSpeedSeen;
    Deliver({Now(), static_cast<float>(dWindSpeed), static_cast<float>(FoldAngle(dFromBow)),
             static_cast<float>(dBoat)});
}

// A sample with values beyond what a float holds (a garbled reading) is no sample.
inline void InstrumentState::Deliver(const LogSample& sample) {
    if (!std::isfinite(sample.fWindSpeed) || !std::isfinite(sample.fWindAngle) ||
        !std::isfinite(sample.fBoatSpeed)) {
        ++m_counts.nBadLines;
        return;
    }
    ++m_counts.nSamples;
    m_sink(sample);
}
