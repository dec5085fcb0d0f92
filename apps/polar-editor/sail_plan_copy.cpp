#include "apps/polar-editor/sail_plan_copy.h"

std::unique_ptr<SAILPLAN> CopySailPlan(const SAILPLAN& sailPlan) {
    auto pCopy = std::make_unique<SAILPLAN>(sailPlan.m_strName);
    for (const auto& pPolar : sailPlan.m_aPolars) {
        auto pPolarCopy =
            std::make_unique<PERF_POLAR>(pPolar->m_fWindSpeed, pPolar->m_fTackingAngle);
        for (const auto& pVector : pPolar->m_aVectors) {
            pPolarCopy->InsertVector(pPolarCopy->GetVectorCount(), pVector->m_fAngle,
                                     pVector->m_fSpeed);
        }
        pCopy->m_aPolars.push_back(std::move(pPolarCopy));
    }
    return pCopy;
}
