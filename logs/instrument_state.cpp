#include "logs/instrument_state.h"

#include <cmath>

#include "logs/log_values.h"
#include "logs/wind_triangle.h"

void InstrumentState::SetTimeOfDay(double dSeconds) {
    if (m_bTime && dSeconds + m_dDays < m_dTime - 43200) {
        m_dDays += 86400;  // past midnight
    }
    m_dTime = dSeconds + m_dDays;
    m_bTime = true;
}

void InstrumentState::SetHeadingTrue(double dDegrees) {
    m_dHeadingTrue = dDegrees;
    m_dHeadingTrueTime = Now();
}

void InstrumentState::SetHeadingMagnetic(double dDegrees) {
    m_dHeadingMagnetic = dDegrees;
    m_dHeadingMagneticTime = Now();
}

std::optional<double> InstrumentState::HeadingTrue() const {
    return Current(m_dHeadingTrueTime) ? std::optional<double>(m_dHeadingTrue) : std::nullopt;
}

std::optional<double> InstrumentState::HeadingMagnetic() const {
    return Current(m_dHeadingMagneticTime) ? std::optional<double>(m_dHeadingMagnetic)
                                           : std::nullopt;
}

void InstrumentState::ApparentWind(double dSpeed, double dFromBow) {
    if (m_bTrueWindSeen) {
        return;  // the log has true wind: that one counts
    }
    TickWithoutTime();
    double dBoat = 0;
    if (!BoatSpeed(dBoat)) {
        return;
    }
    double dTrueSpeed = 0;
    double dTrueAngle = 0;
    TrueWindFromApparent(dSpeed, dFromBow, dBoat, dTrueSpeed, dTrueAngle);
    m_counts.bApparentWind = true;
    Emit(dTrueSpeed, dTrueAngle);
}

void InstrumentState::WindWithBoatSpeed(double dSpeed, double dFromBow, double dBoatSpeed,
                                        bool bApparent) {
    double dTrueSpeed = dSpeed;
    double dTrueAngle = dFromBow;
    if (bApparent) {
        TrueWindFromApparent(dSpeed, dFromBow, dBoatSpeed, dTrueSpeed, dTrueAngle);
        m_counts.bApparentWind = true;
    }
    Deliver({Now(), static_cast<float>(dTrueSpeed), static_cast<float>(FoldAngle(dTrueAngle)),
             static_cast<float>(dBoatSpeed)});
}
