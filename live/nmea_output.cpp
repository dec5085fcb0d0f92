#include "live/nmea_output.h"

#include <algorithm>

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
    SentenceBuilder& Bearing(double dDegrees) {
        m_body += ',';
        AppendBearing(m_body, dDegrees);
        return *this;
    }
    SentenceBuilder& Text(const char* psz) {
        m_body += ',';
        m_body += psz;
        return *this;
    }
    // False when the sentence would be longer than NMEA 0183 allows.
    bool AppendTo(std::string& out) const {
        if (m_body.size() + kFraming > kLongestSentence) {
            return false;
        }
        out += NmeaSentence(m_body);
        out += "\r\n";
        return true;
    }

  private:
    std::string m_body;
};

// A percentage as the proprietary performance sentence's layout bounds it.
double PerformancePercent(double dRatio) {
    return std::clamp(dRatio * 100.0, 0.0, 99.0);
}

}  // namespace

std::optional<std::string> PerformanceSentences(const Performance& p) {
    std::string out;
    bool bWhole = SentenceBuilder("IIVPW")
                      .Number(p.dVmg, 2)
                      .Text("N")
                      .Number(p.dVmg * kMetresPerSecondPerKnot, 2)
                      .Text("M")
                      .AppendTo(out);
    if (p.targetSpeed) {
        bWhole = bWhole && SentenceBuilder("PNKEP,01")
                               .Number(*p.targetSpeed, 2)
                               .Text("N")
                               .Number(*p.targetSpeed * kKilometresPerHourPerKnot, 2)
                               .Text("K")
                               .AppendTo(out);
    }
    if (p.otherTack.magnetic) {
        bWhole = bWhole && SentenceBuilder("PNKEP,02").Bearing(*p.otherTack.magnetic).AppendTo(out);
    }
    if (p.targetAngle && p.targetVmgRatio) {
        SentenceBuilder sentence("PNKEP,03");
        sentence.Bearing(p.Side() * *p.targetAngle);
        if (p.bUpwind) {
            sentence.Number(PerformancePercent(*p.targetVmgRatio), 1).Text("");
        } else {
            sentence.Text("").Number(PerformancePercent(*p.targetVmgRatio), 1);
        }
        bWhole = bWhole && sentence.AppendTo(out);
    }
    if (p.polarSpeed && p.polarRatio) {
        bWhole = bWhole && SentenceBuilder("IIXDR")
                               .Text("G")
                               .Number(*p.polarSpeed, 2)
                               .Text(",PolarSpeed,G")
                               .Number(*p.polarRatio * 100.0, 1)
                               .Text(",PolarRatio")
                               .AppendTo(out);
    }
    if (p.targetAngle && p.targetSpeed) {
        bWhole = bWhole && SentenceBuilder("IIXDR")
                               .Text("A")
                               .Number(p.Side() * *p.targetAngle, 1)
                               .Text("D,TargetAngle,G")
                               .Number(*p.targetSpeed, 2)
                               .Text(",TargetSpeed")
                               .AppendTo(out);
    }
    return bWhole ? std::optional<std::string>(std::move(out)) : std::nullopt;
}
