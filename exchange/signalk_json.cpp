// Signal K's polar JSON, in SI units (m/s, radians). The polar object of Signal K's data model:
//   {"id", "name", "description", "windData": [{"trueWindSpeed", "optimalBeats": [[angle, speed]],
//    "optimalGybes": [[angle, speed]], "angleData": [[angle, speed], ...]}, ...]}
// alone, or a map of such objects by id (as the server lists its polars); and the older API's
// shape: {"name", "trueWindAngles": [...], "polarData": [{"trueWindSpeed", "polarSpeeds": [...],
// "beatAngles", "beatSpeeds", "gybeAngles", "gybeSpeeds"}]}. Each polar object is a sail plan.
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "data/angle_units.h"
#include "data/text_encoding.h"
#include "exchange/formats.h"
#include "exchange/import_support.h"
#include "exchange/json_text.h"
#include "exchange/polar_curve.h"

namespace {

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

std::optional<double> FiniteNumber(const Json& value) {
    if (!value.is_number()) {
        return std::nullopt;
    }
    const double d = value.get<double>();
    return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
}

const Json* ArrayMember(const Json& object, const char* pszKey) {
    const auto it = object.find(pszKey);
    return it != object.end() && it->is_array() ? &*it : nullptr;
}

// An angle in radians as the sail plan holds it: degrees to the hundredth, either tack the same.
std::optional<float> AngleOf(const Json& value) {
    const std::optional<double> radians = FiniteNumber(value);
    if (!radians) {
        return std::nullopt;
    }
    const float fDegrees = ToHundredth(std::fabs(*radians) / kRadiansPerDegree);
    return fDegrees <= 180.0f ? std::optional<float>(fDegrees) : std::nullopt;
}

std::optional<float> KnotsOf(const Json& value) {
    const std::optional<double> ms = FiniteNumber(value);
    if (!ms || *ms < 0) {
        return std::nullopt;
    }
    return ToHundredth(*ms / kMetresPerSecondPerKnot);
}

// [angle, speed] pairs: a point each. The first pair of a beat states the tacking angle.
void AddPairs(PERF_POLAR& polar, const Json* pPairs, bool bBeat) {
    if (pPairs == nullptr) {
        return;
    }
    for (const Json& pair : *pPairs) {
        if (!pair.is_array() || pair.size() < 2) {
            continue;
        }
        const std::optional<float> angle = AngleOf(pair[0]);
        const std::optional<float> speed = KnotsOf(pair[1]);
        if (angle && speed) {
            AddPointIfNew(polar, *angle, *speed);
            if (bBeat && polar.m_fTackingAngle == kUnknownTackingAngle) {
                polar.m_fTackingAngle = *angle;
            }
        }
    }
}

// Parallel arrays of angles and speeds (the older shape's beats and gybes).
void AddParallel(PERF_POLAR& polar, const Json& entry, const char* pszAngles, const char* pszSpeeds,
                 bool bBeat) {
    const Json* pAngles = ArrayMember(entry, pszAngles);
    const Json* pSpeeds = ArrayMember(entry, pszSpeeds);
    if (pAngles == nullptr || pSpeeds == nullptr) {
        return;
    }
    Json pairs = Json::array();
    for (std::size_t i = 0; i < pAngles->size() && i < pSpeeds->size(); ++i) {
        pairs.push_back(Json::array({(*pAngles)[i], (*pSpeeds)[i]}));
    }
    AddPairs(polar, &pairs, bBeat);
}

// One polar object into plan; an error message when its shape is not one we read.
std::string ReadPolarObject(const Json& object, SAILPLAN& plan) {
    if (const auto it = object.find("name"); it != object.end() && it->is_string()) {
        plan.SetName(it->get<std::string>());
    }
    if (const Json* pWindData = ArrayMember(object, "windData")) {
        for (const Json& entry : *pWindData) {
            const std::optional<float> ws =
                entry.is_object() ? KnotsOf(entry.value("trueWindSpeed", Json())) : std::nullopt;
            if (!ws) {
                return "each \"windData\" entry needs a \"trueWindSpeed\" in m/s";
            }
            plan.InsertPolar(plan.GetPolarCount(), *ws, kUnknownTackingAngle);
            PERF_POLAR& polar = *plan.m_aPolars.back();
            AddPairs(polar, ArrayMember(entry, "angleData"), false);
            AddPairs(polar, ArrayMember(entry, "optimalBeats"), true);
            AddPairs(polar, ArrayMember(entry, "optimalGybes"), false);
        }
        return {};
    }
    const Json* pAngles = ArrayMember(object, "trueWindAngles");
    const Json* pPolarData = ArrayMember(object, "polarData");
    if (pPolarData == nullptr) {
        return "expected a Signal K polar: \"windData\", or \"trueWindAngles\" and \"polarData\"";
    }
    for (const Json& entry : *pPolarData) {
        const std::optional<float> ws =
            entry.is_object() ? KnotsOf(entry.value("trueWindSpeed", Json())) : std::nullopt;
        if (!ws) {
            return "each \"polarData\" entry needs a \"trueWindSpeed\" in m/s";
        }
        plan.InsertPolar(plan.GetPolarCount(), *ws, kUnknownTackingAngle);
        PERF_POLAR& polar = *plan.m_aPolars.back();
        // The angles once for all wind speeds, or per wind speed.
        const Json* pOwnAngles = ArrayMember(entry, "trueWindAngles");
        const Json* pRowAngles = pOwnAngles != nullptr ? pOwnAngles : pAngles;
        const Json* pSpeeds = ArrayMember(entry, "polarSpeeds");
        if (pRowAngles == nullptr || pSpeeds == nullptr) {
            return "each \"polarData\" entry needs \"polarSpeeds\" for the \"trueWindAngles\"";
        }
        for (std::size_t i = 0; i < pRowAngles->size() && i < pSpeeds->size(); ++i) {
            const std::optional<float> angle = AngleOf((*pRowAngles)[i]);
            const std::optional<float> speed = KnotsOf((*pSpeeds)[i]);
            if (angle && speed) {
                AddPointIfNew(polar, *angle, *speed);
            }
        }
        AddParallel(polar, entry, "beatAngles", "beatSpeeds", true);
        AddParallel(polar, entry, "gybeAngles", "gybeSpeeds", false);
    }
    return {};
}

bool IsPolarObject(const Json& value) {
    return value.is_object() && (value.contains("windData") || value.contains("polarData"));
}

double Rounded(double d, double dScale) {
    return std::round(d * dScale) / dScale;
}

Json AngleSpeed(float fAngle, float fSpeed) {
    return Json::array(
        {Rounded(fAngle * kRadiansPerDegree, 1e8), Rounded(fSpeed * kMetresPerSecondPerKnot, 1e6)});
}

// A stable id for a sail plan: the same name and place give the same id, in the form of a UUID.
std::string IdOf(const SAILPLAN& plan, std::size_t nIndex) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char c : plan.m_strName + "#" + std::to_string(nIndex)) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    const std::uint64_t other = hash * 0x9E3779B97F4A7C15ULL;
    char sz[40];
    std::snprintf(sz, sizeof sz, "%08x-%04x-4%03x-8%03x-%012llx", static_cast<unsigned>(hash >> 32),
                  static_cast<unsigned>(hash >> 16) & 0xFFFFu, static_cast<unsigned>(hash) & 0xFFFu,
                  static_cast<unsigned>(other >> 52),
                  static_cast<unsigned long long>(other & 0xFFFFFFFFFFFFULL));
    return sz;
}

Json PolarObject(const SAILPLAN& plan, const std::string& strId) {
    Json windData = Json::array();
    for (const auto& pPolar : plan.m_aPolars) {
        Json entry;
        entry["trueWindSpeed"] = Rounded(pPolar->m_fWindSpeed * kMetresPerSecondPerKnot, 1e6);
        Json beats = Json::array();
        Json gybes = Json::array();
        // The beat and gybe as an import reads them back: points of their own at the best angles
        // to the hundredth, the beat stating the tacking angle.
        if (const std::optional<BestVmg> best = FindBestVmg(*pPolar)) {
            for (auto [fBest, pList] :
                 {std::pair(best->fUpwindAngle, &beats), std::pair(best->fDownwindAngle, &gybes)}) {
                const float fAngle = std::round(fBest * 100.0f) / 100.0f;
                if (const std::optional<float> speed = StatedBestSpeed(*pPolar, fAngle)) {
                    pList->push_back(AngleSpeed(fAngle, *speed));
                }
            }
        }
        entry["optimalBeats"] = beats;
        entry["optimalGybes"] = gybes;
        Json angleData = Json::array();
        for (const auto& pVector : pPolar->m_aVectors) {
            angleData.push_back(AngleSpeed(pVector->m_fAngle, pVector->m_fSpeed));
        }
        entry["angleData"] = angleData;
        windData.push_back(entry);
    }
    Json object;
    object["id"] = strId;
    object["name"] = DecodeForDisplay(plan.m_strName);
    object["windData"] = windData;
    return object;
}

}  // namespace

ImportResult ImportSignalKJson(std::string_view text, const std::string& strName) {
    ImportResult result;
    result.pSailPlan = std::make_unique<SAILPLAN>(strName);
    PolarFileProblem problem;
    std::optional<Json> parsed = ParseJsonText(text, problem);
    if (!parsed) {
        result.error = problem;
        return result;
    }
    const Json& root = *parsed;
    // The polar objects: the root itself, or the values of a map by id, or an array's items.
    std::vector<const Json*> objects;
    if (IsPolarObject(root)) {
        objects.push_back(&root);
    } else if (root.is_object() || root.is_array()) {
        for (const Json& value : root) {
            if (IsPolarObject(value)) {
                objects.push_back(&value);
            }
        }
    }
    if (objects.empty()) {
        result.error = ProblemAt(1, 1,
                                 "expected a Signal K polar object (\"windData\", or "
                                 "\"trueWindAngles\" and \"polarData\"), or a map of them by id");
        return result;
    }
    for (std::size_t i = 0; i < objects.size() && !result.error; ++i) {
        std::unique_ptr<SAILPLAN> pOwn;
        SAILPLAN* pPlan = result.pSailPlan.get();
        if (i > 0) {
            pOwn = std::make_unique<SAILPLAN>(strName);
            pPlan = pOwn.get();
        }
        const std::string strError = ReadPolarObject(*objects[i], *pPlan);
        if (!strError.empty()) {
            // JSON keeps no positions once parsed: the polar's place in the file says where.
            result.error = ProblemAt(1, 1, "polar " + std::to_string(i + 1) + ": " + strError);
        }
        // A single sail plan takes the caller's name, as every format's does; of several each
        // keeps its own (the caller's is for those without one).
        if (!strName.empty() && objects.size() == 1) {
            pPlan->SetName(strName);
        }
        SortSailPlan(*pPlan);
        SetMissingTackingAngles(*pPlan);
        if (pOwn) {
            result.aMoreSailPlans.push_back(std::move(pOwn));
        }
    }
    return result;
}

std::string ExportSignalKJson(const std::vector<const SAILPLAN*>& sailPlans) {
    if (sailPlans.size() == 1) {
        return PolarObject(*sailPlans[0], IdOf(*sailPlans[0], 0)).dump(2) + "\n";
    }
    Json map = Json::object();
    for (std::size_t i = 0; i < sailPlans.size(); ++i) {
        const std::string strId = IdOf(*sailPlans[i], i);
        map[strId] = PolarObject(*sailPlans[i], strId);
    }
    return map.dump(2) + "\n";
}
