#include "logs/instrument_state.h"

#include <cmath>

#include "logs/log_values.h"
#include "logs/wind_triangle.h"

void InstrumentState::SetTimeOfDay(double dSeconds) {
    if (m_bTime && dSeconds + m_dDays < m_dTime - 43200) {
        m_dDays += 86400;  // past midnight
    }
    if (!m_bTime) {
        // The log's clock starts: what was read on the counter before is current now.
        m_dTrueTime = m_dTrueTime > kNever ? dSeconds : m_dTrueTime;
    }
    m_dTime = dSeconds + m_dDays;
    m_bTime = true;
}

void InstrumentState::SetHeadingTrue(double dDegrees) {
    m_dHeadingTrue = dDegrees;
    m_dHeadingTrueTime = Now();
    ++m_counts.nTrueHeadingReadings;
}

void InstrumentState::SetHeadingMagnetic(double dDegrees) {
    m_dHeadingMagnetic = dDegrees;
    m_dHeadingMagneticTime = Now();
    ++m_counts.nMagneticHeadingReadings;
}

std::optional<double> InstrumentState::HeadingTrue() const {
    return Current(m_dHeadingTrueTime) ? std::optional<double>(m_dHeadingTrue) : std::nullopt;
}

std::optional<double> InstrumentState::HeadingMagnetic() const {
    return Current(m_dHeadingMagneticTime) ? std::optional<double>(m_dHeadingMagnetic)
                                           : std::nullopt;
}

void InstrumentState::ApparentWind(double dSpeed, double dFromBow) {
    double dBoat = 0;
    if (m_bTrueWindSeen) {
        // The log has true wind: that one counts, checked against the wind triangle.
        if (Current(m_dTrueTime) && BoatSpeed(dBoat) && dBoat >= 1.0) {
            double dTrueSpeed = 0;
            double dTrueAngle = 0;
            TrueWindFromApparent(dSpeed, dFromBow, dBoat, dTrueSpeed, dTrueAngle);
            const double dAngle = std::fabs(std::remainder(dTrueAngle - m_dTrueFromBow, 360.0));
            ++m_counts.nTrueWindChecked;
            m_counts.nTrueWindDisagreeing +=
                dAngle > 5.0 || std::fabs(dTrueSpeed - m_dTrueSpeed) > 0.15 * dTrueSpeed + 0.5 ? 1
                                                                                               : 0;
        }
        return;
    }
    TickWithoutTime();
    if (!BoatSpeed(dBoat)) {
        ++m_counts.nWindWithoutBoatSpeed;
        ++m_counts.nApparentWithoutBoatSpeed;
        return;
    }
    m_counts.nCalmApparentUnderWay += dSpeed == 0 && dBoat >= 2.0 ? 1 : 0;
    double dTrueSpeed = 0;
    double dTrueAngle = 0;
    TrueWindFromApparent(dSpeed, dFromBow, dBoat, dTrueSpeed, dTrueAngle);
    Emit(dTrueSpeed, dTrueAngle, true);
}

void InstrumentState::SetEngineRunning(bool bRunning) {
    m_bEngineRunning = bRunning;
    m_dEngineTime = Now();
    ++m_counts.nEngineReadings;
}

void InstrumentState::WindWithBoatSpeed(double dSpeed, double dFromBow, double dBoatSpeed,
                                        bool bApparent) {
    double dTrueSpeed = dSpeed;
    double dTrueAngle = dFromBow;
    ++m_counts.nBoatSpeedReadings;
    if (bApparent) {
        m_counts.nCalmApparentUnderWay += dSpeed == 0 && dBoatSpeed >= 2.0 ? 1 : 0;
        TrueWindFromApparent(dSpeed, dFromBow, dBoatSpeed, dTrueSpeed, dTrueAngle);
    }
    Deliver(dTrueSpeed, dTrueAngle, dBoatSpeed, bApparent);
}
