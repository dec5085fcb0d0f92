#include "data/sailplan.h"

#include "data/invalid_argument.h"

SAILPLAN::SAILPLAN(std::string strName) : m_strName(std::move(strName)) {}

PERF_POLAR& SAILPLAN::Polar(int nPolar) {
    CheckIndex(nPolar, m_aPolars.size(), "polar");
    return *m_aPolars[nPolar];
}

const PERF_POLAR& SAILPLAN::Polar(int nPolar) const {
    CheckIndex(nPolar, m_aPolars.size(), "polar");
    return *m_aPolars[nPolar];
}

void SAILPLAN::SetName(std::string strName) {
    m_strName = std::move(strName);
}

void SAILPLAN::InsertPolar(int nIndex, float fWindSpeed, float fTackingAngle) {
    CheckInsertIndex(nIndex, m_aPolars.size(), "polar");
    auto pPolar = std::make_unique<PERF_POLAR>(fWindSpeed, fTackingAngle);
    m_aPolars.insert(m_aPolars.begin() + nIndex, std::move(pPolar));
}

void SAILPLAN::RemovePolar(int nIndex) {
    CheckIndex(nIndex, m_aPolars.size(), "polar");
    m_aPolars.erase(m_aPolars.begin() + nIndex);
}

void SAILPLAN::RemoveAllPolars() {
    m_aPolars.clear();
}

void SAILPLAN::SetWindSpeed(int nPolar, float fWindSpeed) {
    Polar(nPolar).m_fWindSpeed = fWindSpeed;
}

void SAILPLAN::SetTackingAngle(int nPolar, float fTackingAngle) {
    Polar(nPolar).m_fTackingAngle = fTackingAngle;
}

float SAILPLAN::GetTackingAngle(int nPolar) const {
    if (m_aPolars.empty()) {
        return -1.0f;
    }
    return Polar(nPolar).m_fTackingAngle;
}

void SAILPLAN::MovePolar(int nPolar, float fWindSpeed) {
    CheckIndex(nPolar, m_aPolars.size(), "polar");
    std::unique_ptr<PERF_POLAR> pPolar = std::move(m_aPolars[nPolar]);
    m_aPolars.erase(m_aPolars.begin() + nPolar);
    std::size_t nTarget = 0;
    while (nTarget < m_aPolars.size() && !(m_aPolars[nTarget]->m_fWindSpeed >= fWindSpeed)) {
        ++nTarget;
    }
    // The vector had room for this element a moment ago, so the insert does not allocate.
    m_aPolars.insert(m_aPolars.begin() + static_cast<std::ptrdiff_t>(nTarget), std::move(pPolar));
}

void SAILPLAN::InsertVector(int nPolar, int nIndex, float fAngle, float fSpeed) {
    Polar(nPolar).InsertVector(nIndex, fAngle, fSpeed);
}

void SAILPLAN::RemoveVector(int nPolar, int nIndex) {
    Polar(nPolar).RemoveVector(nIndex);
}

void SAILPLAN::SetVectorAngle(int nPolar, int nIndex, float fAngle) {
    Polar(nPolar).SetVectorAngle(nIndex, fAngle);
}

void SAILPLAN::SetVectorSpeed(int nPolar, int nIndex, float fSpeed) {
    Polar(nPolar).SetVectorSpeed(nIndex, fSpeed);
}

void SAILPLAN::MoveVector(int nPolar, int nIndex, float fAngle) {
    Polar(nPolar).MoveVector(nIndex, fAngle);
}
