// The JSON of published rating data: "vpp" holds "angles", "speeds" (the wind speeds), one array
// of boat speeds per angle (keyed by the angle), and per wind speed the best upwind and downwind
// angles and VMGs ("beat_angle", "beat_vmg", "run_angle", "run_vmg").
#include <algorithm>
#include <cmath>
#include <tuple>

#include "data/angle_units.h"
#include "data/number_text.h"
#include "data/text_encoding.h"
#include "exchange/cell_text.h"
#include "exchange/formats.h"
#include "exchange/import_support.h"
#include "exchange/json_text.h"
#include "exchange/polar_curve.h"

namespace {

// The key under which an angle's speeds stand: "52", "52.0" or "52.5".
const Json* SpeedsOfAngle(const Json& vpp, float fAngle) {
    const std::string candidates[] = {
        FormatExchangeNumber(fAngle),
        FormatFixed2(fAngle).substr(0, FormatFixed2(fAngle).size() - 1), FormatFixed2(fAngle)};
    for (const std::string& key : candidates) {
        const auto it = vpp.find(key);
        if (it != vpp.end()) {
            return &*it;
        }
    }
    return nullptr;
}

bool NumberArray(const Json& vpp, const char* pszKey, std::vector<std::optional<float>>& values) {
    const auto it = vpp.find(pszKey);
    if (it == vpp.end() || !it->is_array()) {
        return false;
    }
    for (const Json& v : *it) {
        // Numbers that no float holds count as no value.
        const bool bUsable = v.is_number() && std::isfinite(v.get<float>());
        values.push_back(bUsable ? std::optional<float>(v.get<float>()) : std::nullopt);
    }
    return true;
}

// A point at the angle whose speed gives that VMG (speed × |cos angle|), unless the polar has a
// point there already or the VMG says nothing about a speed (none given, or an angle across).
void AddPointFromVmg(PERF_POLAR& polar, float fAngle, std::optional<float> vmg) {
    const double dCos = std::fabs(std::cos(fAngle * kRadiansPerDegree));
    if (!vmg || *vmg < 0 || dCos < 1e-3) {
        return;
    }
    for (const auto& pVector : polar.m_aVectors) {
        if (pVector->m_fAngle == fAngle) {
            return;
        }
    }
    polar.InsertVector(polar.GetVectorCount(), fAngle, static_cast<float>(*vmg / dCos));
}

Json Number(float f) {
    return Json::parse(FormatExchangeNumber(f));
}

}  // namespace

ImportResult ImportRatingJson(std::string_view text, const std::string& strName) {
    ImportResult result;
    result.pSailPlan = std::make_unique<SAILPLAN>(strName);
    PolarFileProblem problem;
    std::optional<Json> parsed = ParseJsonText(text, problem);
    if (!parsed) {
        result.error = problem;
        return result;
    }
    const Json& root = *parsed;
    const auto vppIt = root.is_object() ? root.find("vpp") : root.end();
    if (!root.is_object() || vppIt == root.end() || !vppIt->is_object()) {
        result.error = ProblemAt(1, 1, "expected an object with a \"vpp\" object");
        return result;
    }
    const Json& vpp = *vppIt;
    if (root.contains("name") && root["name"].is_string() && strName.empty()) {
        result.pSailPlan->SetName(root["name"].get<std::string>());
    }
    std::vector<std::optional<float>> angles;
    std::vector<std::optional<float>> speeds;
    if (!NumberArray(vpp, "angles", angles) || !NumberArray(vpp, "speeds", speeds)) {
        result.error = ProblemAt(1, 1, "\"vpp\" needs the arrays \"angles\" and \"speeds\"");
        return result;
    }
    SAILPLAN& plan = *result.pSailPlan;
    for (const auto& ws : speeds) {
        if (!ws || *ws < 0) {
            result.error = ProblemAt(1, 1, "\"vpp.speeds\" holds something that is no wind speed");
            plan.RemoveAllPolars();
            return result;
        }
        plan.InsertPolar(plan.GetPolarCount(), *ws, kUnknownTackingAngle);
    }
    for (const auto& angle : angles) {
        if (!angle || *angle < 0 || *angle > 180) {
            result.error =
                ProblemAt(1, 1, "\"vpp.angles\" holds something that is no angle from 0 to 180");
            break;
        }
        const Json* pRow = SpeedsOfAngle(vpp, *angle);
        if (pRow == nullptr || !pRow->is_array() || pRow->size() != speeds.size()) {
            result.error = ProblemAt(1, 1,
                                     "\"vpp\" needs an array of " + std::to_string(speeds.size()) +
                                         " speeds under \"" + FormatExchangeNumber(*angle) + "\"");
            break;
        }
        for (std::size_t i = 0; i < speeds.size(); ++i) {
            const Json& v = (*pRow)[i];
            if (v.is_number() && v.get<float>() >= 0 && std::isfinite(v.get<float>())) {
                PERF_POLAR& polar = plan.Polar(static_cast<int>(i));
                polar.InsertVector(polar.GetVectorCount(), *angle, v.get<float>());
            }
        }
    }
    // The best upwind and downwind points stand apart from the fixed angles: the beat at
    // beat_angle with beat_vmg, the run at run_angle with run_vmg, per wind speed.
    std::vector<std::optional<float>> beatAngle;
    std::vector<std::optional<float>> beatVmg;
    std::vector<std::optional<float>> runAngle;
    std::vector<std::optional<float>> runVmg;
    NumberArray(vpp, "beat_angle", beatAngle);
    NumberArray(vpp, "beat_vmg", beatVmg);
    NumberArray(vpp, "run_angle", runAngle);
    NumberArray(vpp, "run_vmg", runVmg);
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        PERF_POLAR& polar = plan.Polar(static_cast<int>(i));
        const auto at = [i](const std::vector<std::optional<float>>& values) {
            return i < values.size() ? values[i] : std::nullopt;
        };
        if (const auto beat = at(beatAngle); beat && *beat >= 0 && *beat <= 180) {
            polar.m_fTackingAngle = *beat;
            AddPointFromVmg(polar, *beat, at(beatVmg));
        }
        if (const auto run = at(runAngle); run && *run >= 0 && *run <= 180) {
            AddPointFromVmg(polar, *run, at(runVmg));
        }
    }
    SortSailPlan(plan);
    SetMissingTackingAngles(plan);
    return result;
}

std::string ExportRatingJson(const SAILPLAN& sailPlan) {
    Json vpp = Json::object();
    const std::vector<float> angles = UnionOfAngles(sailPlan);
    Json jsonAngles = Json::array();
    for (const float a : angles) {
        jsonAngles.push_back(Number(a));
    }
    Json jsonSpeeds = Json::array();
    Json beatAngle = Json::array();
    Json beatVmg = Json::array();
    Json runAngle = Json::array();
    Json runVmg = Json::array();
    for (const auto& pPolar : sailPlan.m_aPolars) {
        jsonSpeeds.push_back(Number(pPolar->m_fWindSpeed));
        const std::optional<BestVmg> best = FindBestVmg(*pPolar);
        if (!best) {
            for (Json* p : {&beatAngle, &beatVmg, &runAngle, &runVmg}) {
                p->push_back(Json());
            }
            continue;
        }
        // The beat and run as an import reads them back: points of their own, at the angle to
        // the hundredth, with a VMG that puts them on the curve (or a little above it between
        // points, so that they stay the best).
        for (const auto& [pAngle, pVmg, fBest] :
             {std::tuple(&beatAngle, &beatVmg, best->fUpwindAngle),
              std::tuple(&runAngle, &runVmg, best->fDownwindAngle)}) {
            const float fAngle = std::round(fBest * 100.0f) / 100.0f;
            const float fSpeed = StatedBestSpeed(*pPolar, fAngle).value_or(0.0f);
            const double dVmg = fSpeed * std::fabs(std::cos(fAngle * kRadiansPerDegree));
            const bool bOwnPoint =
                SpeedOnCurve(*pPolar, fAngle) && WrittenSpeed(*pPolar, fAngle) &&
                std::any_of(pPolar->m_aVectors.begin(), pPolar->m_aVectors.end(),
                            [&](const auto& p) { return p->m_fAngle == fAngle; });
            const double dHundredths =
                bOwnPoint ? std::round(dVmg * 100.0) : std::ceil(dVmg * 100.0 - 1e-6);
            pAngle->push_back(Number(fAngle));
            pVmg->push_back(Number(static_cast<float>(dHundredths / 100.0)));
        }
    }
    vpp["angles"] = jsonAngles;
    vpp["speeds"] = jsonSpeeds;
    for (const float a : angles) {
        Json row = Json::array();
        for (const auto& pPolar : sailPlan.m_aPolars) {
            const std::optional<float> speed = WrittenSpeed(*pPolar, a);
            row.push_back(speed ? Number(*speed) : Json());
        }
        vpp[FormatExchangeNumber(a)] = row;
    }
    vpp["beat_angle"] = beatAngle;
    vpp["beat_vmg"] = beatVmg;
    vpp["run_angle"] = runAngle;
    vpp["run_vmg"] = runVmg;
    Json root;
    root["name"] = DecodeForDisplay(sailPlan.m_strName);
    root["vpp"] = vpp;
    return root.dump(2) + "\n";
}
