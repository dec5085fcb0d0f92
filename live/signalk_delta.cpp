#include "live/signalk_delta.h"

#include <optional>

#include "data/angle_units.h"
#include "live/fixed_text.h"

namespace {

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

class ValueList {
  public:
    explicit ValueList(std::string& out) : m_out(out) {}
    void Add(const char* pszPath, std::optional<double> value, double dFactor) {
        if (!value) {
            return;
        }
        m_out += m_bFirst ? "" : ",";
        m_bFirst = false;
        m_out += "{\"path\":\"performance.";
        m_out += pszPath;
        m_out += "\",\"value\":";
        AppendFixed(m_out, *value * dFactor, 4);
        m_out += '}';
    }

  private:
    std::string& m_out;
    bool m_bFirst = true;
};

std::optional<double> Times(std::optional<double> value, double dFactor) {
    return value ? std::optional<double>(*value * dFactor) : std::nullopt;
}

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
    const double dSpeed = kMetresPerSecondPerKnot;
    const double dSignedAngle = p.Side() * kRadiansPerDegree;
    values.Add("velocityMadeGood", p.dVmg, dSpeed);
    values.Add("polarSpeed", p.polarSpeed, dSpeed);
    values.Add("polarSpeedRatio", p.polarRatio, 1.0);
    values.Add("targetAngle", p.targetAngle, dSignedAngle);
    values.Add("targetSpeed", p.targetSpeed, dSpeed);
    values.Add("targetVelocityMadeGoodRatio", p.targetVmgRatio, 1.0);
    if (p.targets) {
        const VmgTargets& t = *p.targets;
        values.Add("beatAngle", t.dBeatAngle, dSignedAngle);
        values.Add("beatAngleTargetSpeed", t.dBeatSpeed, dSpeed);
        values.Add("beatAngleVelocityMadeGood", t.BeatVmg(), dSpeed);
        values.Add("gybeAngle", t.dRunAngle, dSignedAngle);
        values.Add("gybeAngleTargetSpeed", t.dRunSpeed, dSpeed);
        values.Add("gybeAngleVelocityMadeGood", -t.RunVmg(), dSpeed);
    }
    values.Add("tackTrue", Times(p.otherTack.trueHeading, kRadiansPerDegree), 1.0);
    values.Add("tackMagnetic", Times(p.otherTack.magnetic, kRadiansPerDegree), 1.0);
    out += "]}]}";
    return out;
}
