#include "live/nmea_output.h"

#include "live/fixed_text.h"
#include "logs/nmea_sentence.h"

namespace {

constexpr double kKilometresPerHourPerKnot = 1.852;
constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

// '$', '*', two hex digits, CR LF around the body.
constexpr std::size_t kFraming = 6;
constexpr std::size_t kLongestSentence = 82;

class SentenceBuilder {
  public:
    explicit SentenceBuilder(const char* pszAddress) : m_body(pszAddress) {}
    SentenceBuilder& Number(double d, int nDecimals) {
        m_body += ',';
        AppendFixed(m_body, d, nDecimals);
        return *this;
    }
    SentenceBuilder& Text(const char* psz) {
        m_body += ',';
        m_body += psz;
        return *this;
    }
    // A sentence longer than NMEA 0183's 82 characters (with values no instrument gives, as a
    // garbled boat speed of 1e30 kn) is left out: a listener may not take it.
    void AppendTo(std::string& out) const {
        if (m_body.size() + kFraming > kLongestSentence) {
            return;
        }
        out += NmeaSentence(m_body);
        out += "\r\n";
    }

  private:
    std::string m_body;
};

// The angle on this tack as the displays take it: 0 to 360 from the bow, clockwise.
double FromBowClockwise(double dOffWind, bool bPort) {
    return bPort ? 360.0 - dOffWind : dOffWind;
}

}  // namespace

std::string PerformanceSentences(const Performance& p) {
    std::string out;
    SentenceBuilder("IIVPW")
        .Number(p.dVmg, 2)
        .Text("N")
        .Number(p.dVmg * kMetresPerSecondPerKnot, 2)
        .Text("M")
        .AppendTo(out);
    if (p.targetSpeed) {
        SentenceBuilder("PNKEP,01")
            .Number(*p.targetSpeed, 2)
            .Text("N")
            .Number(*p.targetSpeed * kKilometresPerHourPerKnot, 2)
            .Text("K")
            .AppendTo(out);
    }
    if (p.otherTackHeading) {
        SentenceBuilder("PNKEP,02").Number(*p.otherTackHeading, 1).AppendTo(out);
    }
    if (p.targetAngle && p.targetVmgRatio && p.polarRatio) {
        SentenceBuilder("PNKEP,03")
            .Number(FromBowClockwise(*p.targetAngle, p.dWindAngle < 0), 1)
            .Number(*p.targetVmgRatio * 100.0, 1)
            .Number(*p.polarRatio * 100.0, 1)
            .AppendTo(out);
    }
    if (p.polarSpeed && p.polarRatio) {
        SentenceBuilder("IIXDR")
            .Text("G")
            .Number(*p.polarSpeed, 2)
            .Text("N,PolarSpeed,G")
            .Number(*p.polarRatio * 100.0, 1)
            .Text("P,PolarRatio")
            .AppendTo(out);
    }
    if (p.targetAngle && p.targetSpeed) {
        SentenceBuilder("IIXDR")
            .Text("A")
            .Number(*p.targetAngle, 1)
            .Text("D,TargetAngle,G")
            .Number(*p.targetSpeed, 2)
            .Text("N,TargetSpeed")
            .AppendTo(out);
    }
    return out;
}
