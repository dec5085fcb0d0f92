#include "apps/polar-editor/sail_plan_facts.h"

std::vector<PolarFacts> FactsOfSailPlan(const SAILPLAN& sailPlan) {
    std::vector<PolarFacts> facts;
    facts.reserve(sailPlan.m_aPolars.size());
    for (const auto& pPolar : sailPlan.m_aPolars) {
        facts.push_back({pPolar->m_fWindSpeed, pPolar->GetVectorCount(), pPolar->m_fTackingAngle,
                         FindBestVmg(*pPolar)});
    }
    return facts;
}
