// What each sentence type tells, one function per type and one row of the table per type.
#include "logs/nmea_handlers.h"

#include <cstdint>
#include <initializer_list>

#include "logs/log_values.h"

namespace {

using SentenceReader = bool (*)(const NmeaFields& f, InstrumentState& state);

// MWV: wind angle from the bow, R(elative) or T(rue), speed and unit, status A (valid) or V;
// instruments of older NMEA versions leave the status out, and then the value is valid.
bool ReadMwv(const NmeaFields& f, InstrumentState& state) {
    double dAngle = 0;
    double dSpeed = 0;
    if (f.Count() < 5 || !ParseLogNumber(f[1], dAngle) || !ParseSpeedKnots(f[3], f[4], dSpeed)) {
        return false;
    }
    if (f[5].substr(0, 1) == "V") {
        return true;  // the instrument says the value is not valid
    }
    if (f[2] == "T") {
        state.TrueWind(dSpeed, dAngle);
    } else if (f[2] == "R") {
        state.ApparentWind(dSpeed, dAngle);
    } else {
        return false;
    }
    return true;
}

// VWT and VWR: wind angle 0 to 180 off the bow, L(eft) or R(ight), speed and unit.
bool ReadWindOffTheBow(const NmeaFields& f, double& dSpeed, double& dFromBow) {
    double dAngle = 0;
    if (f.Count() < 5 || !ParseLogNumber(f[1], dAngle) || (f[2] != "L" && f[2] != "R") ||
        !ParseSpeedKnots(f[3], f[4], dSpeed)) {
        return false;
    }
    dFromBow = f[2] == "L" ? 360.0 - dAngle : dAngle;
    return true;
}

bool ReadVwt(const NmeaFields& f, InstrumentState& state) {
    double dSpeed = 0;
    double dFromBow = 0;
    if (!ReadWindOffTheBow(f, dSpeed, dFromBow)) {
        return false;
    }
    state.TrueWind(dSpeed, dFromBow, InstrumentState::TrueWindSource::Vwt);
    return true;
}

bool ReadVwr(const NmeaFields& f, InstrumentState& state) {
    double dSpeed = 0;
    double dFromBow = 0;
    if (!ReadWindOffTheBow(f, dSpeed, dFromBow)) {
        return false;
    }
    state.ApparentWind(dSpeed, dFromBow);
    return true;
}

// MWD: the true wind's direction, true (T) and magnetic (M), and its speed. Less the current
// heading of the same kind, the angle from the bow; true first.
bool ReadMwd(const NmeaFields& f, InstrumentState& state) {
    double dTrue = 0;
    double dMagnetic = 0;
    double dSpeed = 0;
    const bool bTrue = f.Count() > 2 && ParseLogNumber(f[1], dTrue);
    const bool bMagnetic = f.Count() > 4 && ParseLogNumber(f[3], dMagnetic);
    if (f.Count() < 7 || !ParseSpeedKnots(f[5], f[6], dSpeed) || (!bTrue && !bMagnetic)) {
        return false;
    }
    const std::optional<double> headingTrue = state.HeadingTrue();
    const std::optional<double> headingMagnetic = state.HeadingMagnetic();
    if (bTrue && headingTrue) {
        state.TrueWind(dSpeed, dTrue - *headingTrue, InstrumentState::TrueWindSource::Mwd);
    } else if (bMagnetic && headingMagnetic) {
        state.TrueWind(dSpeed, dMagnetic - *headingMagnetic, InstrumentState::TrueWindSource::Mwd);
    }
    return true;
}

// HDT: the true heading.
bool ReadHdt(const NmeaFields& f, InstrumentState& state) {
    double dHeading = 0;
    if (f.Count() < 2 || !ParseLogNumber(f[1], dHeading)) {
        return false;
    }
    state.SetHeadingTrue(dHeading);
    return true;
}

// HDM: the magnetic heading.
bool ReadHdm(const NmeaFields& f, InstrumentState& state) {
    double dHeading = 0;
    if (f.Count() < 2 || !ParseLogNumber(f[1], dHeading)) {
        return false;
    }
    state.SetHeadingMagnetic(dHeading);
    return true;
}

// HDG: the compass heading, its deviation and the variation, each E(ast, added) or W(est,
// subtracted). With the deviation the magnetic heading, with the variation too the true one.
bool ReadHdg(const NmeaFields& f, InstrumentState& state) {
    double dHeading = 0;
    if (f.Count() < 2 || !ParseLogNumber(f[1], dHeading)) {
        return false;
    }
    const auto eastward = [](double d, std::string_view side) { return side == "W" ? -d : d; };
    double dDeviation = 0;
    if (f.Count() > 3 && ParseLogNumber(f[2], dDeviation)) {
        dHeading += eastward(dDeviation, f[3]);
    }
    state.SetHeadingMagnetic(dHeading);
    double dVariation = 0;
    if (f.Count() > 5 && ParseLogNumber(f[4], dVariation)) {
        state.SetHeadingTrue(dHeading + eastward(dVariation, f[5]));
    }
    return true;
}

// VHW: headings, then the speed through the water in knots (field 5).
bool ReadVhw(const NmeaFields& f, InstrumentState& state) {
    double dSpeed = 0;
    if (f.Count() < 7 || !ParseReading(f[5], dSpeed)) {
        return false;
    }
    state.SetWaterSpeed(dSpeed);
    return true;
}

// VPW: the speed along the wind is no speed of the boat's own: read, not used.
bool ReadVpw(const NmeaFields& f, InstrumentState& /*state*/) {
    double dSpeed = 0;
    return f.Count() >= 2 && (f[1].empty() || ParseLogNumber(f[1], dSpeed));
}

// VTG: the track (true, field 1; magnetic, 3), then the speed over ground in knots (field 5).
bool ReadVtg(const NmeaFields& f, InstrumentState& state) {
    double dSpeed = 0;
    if (f.Count() < 7 || !ParseReading(f[5], dSpeed)) {
        return false;
    }
    double dCourse = 0;
    state.SetGroundSpeed(
        dSpeed, ParseLogNumber(f[1], dCourse) ? std::optional<double>(dCourse) : std::nullopt);
    return true;
}

// RMC: the time of day, status A (valid), position, the speed over ground in knots and the
// track (true).
bool ReadRmc(const NmeaFields& f, InstrumentState& state) {
    double dSeconds = 0;
    if (f.Count() < 10 || !ParseTimeOfDay(f[1], dSeconds)) {
        return false;
    }
    state.SetTimeOfDay(dSeconds);
    double dSpeed = 0;
    if (f[2] == "A" && ParseReading(f[7], dSpeed)) {
        double dCourse = 0;
        state.SetGroundSpeed(
            dSpeed, ParseLogNumber(f[8], dCourse) ? std::optional<double>(dCourse) : std::nullopt);
    }
    return true;
}

bool ReadTimeField(std::string_view field, InstrumentState& state) {
    double dSeconds = 0;
    if (!ParseTimeOfDay(field, dSeconds)) {
        return false;
    }
    state.SetTimeOfDay(dSeconds);
    return true;
}

// ZDA: the time of day first, then the date.
bool ReadZda(const NmeaFields& f, InstrumentState& state) {
    return ReadTimeField(f[1], state);
}

// GLL: the position, then the time of day (field 5).
bool ReadGll(const NmeaFields& f, InstrumentState& state) {
    return ReadTimeField(f.Count() > 5 ? f[5] : std::string_view(), state);
}

// RPM: source, S(haft) or E(ngine), its number, revolutions per minute (negative when turning
// backwards), pitch, status A (valid). An engine's revolutions say whether it runs; a shaft's
// do not (a propeller may turn freely under sail).
bool ReadRpm(const NmeaFields& f, InstrumentState& state) {
    double dRpm = 0;
    if (f.Count() < 4 || (f[1] != "S" && f[1] != "E") || !ParseLogNumber(f[3], dRpm)) {
        return false;
    }
    if (f[1] == "E" && f[5].substr(0, 1) != "V") {
        state.SetEngineRunning(dRpm != 0);
    }
    return true;
}

// XDR: transducers in groups of four fields: type, value, unit, name. A tachometer (type T,
// unit R) tells whether an engine runs; other transducers are read and passed over.
bool ReadXdr(const NmeaFields& f, InstrumentState& state) {
    if (f.Count() < 5) {
        return false;
    }
    for (std::size_t i = 1; i + 2 < f.Count(); i += 4) {
        double dValue = 0;
        if (f[i] == "T" && f[i + 2] == "R" && ParseLogNumber(f[i + 1], dValue)) {
            state.SetEngineRunning(dValue != 0);
        }
    }
    return true;
}

struct SentenceType {
    std::string_view type;
    SentenceReader read;
    std::size_t nFields;    // the fields (type included) up to the last value the reader needs
    std::uint32_t uNeeded;  // the value fields it needs, a bit each (bit n: field n)
};

constexpr std::uint32_t Fields(std::initializer_list<int> fields) {
    std::uint32_t u = 0;
    for (const int n : fields) {
        u |= 1u << n;
    }
    return u;
}

constexpr SentenceType kSentenceTypes[] = {
    {"MWV", ReadMwv, 5, Fields({1, 3})}, {"VWT", ReadVwt, 5, Fields({1, 3})},
    {"VWR", ReadVwr, 5, Fields({1, 3})}, {"MWD", ReadMwd, 7, Fields({1, 3, 5})},
    {"HDT", ReadHdt, 2, Fields({1})},    {"HDM", ReadHdm, 2, Fields({1})},
    {"HDG", ReadHdg, 2, Fields({1})},    {"VHW", ReadVhw, 7, Fields({5})},
    {"VPW", ReadVpw, 2, Fields({1})},    {"VTG", ReadVtg, 7, Fields({5})},
    {"RMC", ReadRmc, 10, Fields({1})},   {"ZDA", ReadZda, 2, Fields({1})},
    {"GLL", ReadGll, 6, Fields({5})},    {"RPM", ReadRpm, 4, Fields({3})},
    {"XDR", ReadXdr, 5, Fields({2})},
};

// Whether a sentence that could not be read lacks values rather than being malformed: no field
// holds a digit, or it has all its fields and one that the reader needs is empty (instruments
// send what they have: an MWD with the wind's speeds and no direction, an MWV without its
// angle). A sentence cut short has too few fields and stays bad.
bool WithoutValues(const NmeaFields& f, const SentenceType& type) {
    bool bDigit = false;
    bool bEmpty = false;
    for (std::size_t i = 1; i < f.Count(); ++i) {
        bDigit = bDigit || f[i].find_first_of("0123456789") != std::string_view::npos;
        bEmpty = bEmpty || (i < 32 && (type.uNeeded >> i & 1u) != 0 && f[i].empty());
    }
    return !bDigit || (f.Count() >= type.nFields && bEmpty);
}

// Whether a needed field holds a number no instrument gives (negative, beyond a float), which
// is why the sentence could not be read.
bool ImpossibleValue(const NmeaFields& f, const SentenceType& type) {
    for (std::size_t i = 1; i < f.Count() && i < 32; ++i) {
        double d = 0;
        if ((type.uNeeded >> i & 1u) != 0 && ParseLogNumber(f[i], d) && !ParseReading(f[i], d)) {
            return true;
        }
    }
    return false;
}

}  // namespace

SentenceRead ReadNmeaSentence(std::string_view type, const NmeaFields& fields,
                              InstrumentState& state) {
    for (const SentenceType& sentenceType : kSentenceTypes) {
        if (sentenceType.type == type) {
            if (sentenceType.read(fields, state)) {
                return SentenceRead::Read;
            }
            if (WithoutValues(fields, sentenceType)) {
                return SentenceRead::WithoutValues;
            }
            return ImpossibleValue(fields, sentenceType) ? SentenceRead::Impossible
                                                         : SentenceRead::Bad;
        }
    }
    return SentenceRead::Other;
}
