#include "live/signalk_delta.h"

#include <optional>

#include "data/angle_units.h"
#include "live/fixed_text.h"

namespace {

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

class ValueList {
  public:
    explicit ValueList(std::string& out) : m_out(out) {}
    void Add(const char* pszPath, std::optional<double> value, double dFactor, int nDecimals) {
        if (!value) {
            return;
        }
        m_out += m_bFirst ? "" : ",";
        m_bFirst = false;
        m_out += "{\"path\":\"performance.";
        m_out += pszPath;
        m_out += "\",\"value\":";
        AppendFixed(m_out, *value * dFactor, nDecimals);
        m_out += '}';
    }

  private:
    std::string& m_out;
    bool m_bFirst = true;
};

}  // namespace

std::string SignalKDelta(const Performance& p, std::string_view strTimestamp) {
    std::string out =
        "{\"context\":\"vessels.self\",\"updates\":[{\"source\":{\"label\":\"polarctl\"}";
    if (!strTimestamp.empty()) {
        out += ",\"timestamp\":\"";
        out += strTimestamp;
        out += '"';
    }
    out += ",\"values\":[";
    ValueList values(out);
    values.Add("velocityMadeGood", p.dVmg, kMetresPerSecondPerKnot, 4);
    values.Add("polarSpeed", p.polarSpeed, kMetresPerSecondPerKnot, 4);
    values.Add("polarSpeedRatio", p.polarRatio, 1.0, 4);
    values.Add("targetAngle", p.targetAngle, kRadiansPerDegree, 4);
    values.Add("targetSpeed", p.targetSpeed, kMetresPerSecondPerKnot, 4);
    if (p.targets) {
        values.Add("beatAngle", p.targets->dBeatAngle, kRadiansPerDegree, 4);
        values.Add("gybeAngle", p.targets->dRunAngle, kRadiansPerDegree, 4);
    }
    out += "]}]}";
    return out;
}
