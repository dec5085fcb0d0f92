#include "data/perf_polar.h"

#include "data/invalid_argument.h"

int OrderedIndexForAngle(const VectorArray& aVectors, float fAngle) {
    std::size_t nIndex = 0;
    while (nIndex < aVectors.size() && !(aVectors[nIndex]->m_fAngle >= fAngle)) {
        ++nIndex;
    }
    return static_cast<int>(nIndex);
}

PERF_POLAR::PERF_POLAR(float fWindSpeed, float fTackingAngle)
    : m_fWindSpeed(fWindSpeed), m_fTackingAngle(fTackingAngle) {}

void PERF_POLAR::InsertVector(int nIndex, float fAngle, float fSpeed) {
    CheckInsertIndex(nIndex, m_aVectors.size(), "point");
    auto pVector = std::make_unique<PERF_VECTOR>(PERF_VECTOR{fAngle, fSpeed});
    m_aVectors.insert(m_aVectors.begin() + nIndex, std::move(pVector));
}

void PERF_POLAR::RemoveVector(int nIndex) {
    CheckIndex(nIndex, m_aVectors.size(), "point");
    m_aVectors.erase(m_aVectors.begin() + nIndex);
}

void PERF_POLAR::SetVectorAngle(int nIndex, float fAngle) {
    CheckIndex(nIndex, m_aVectors.size(), "point");
    m_aVectors[nIndex]->m_fAngle = fAngle;
}

void PERF_POLAR::SetVectorSpeed(int nIndex, float fSpeed) {
    CheckIndex(nIndex, m_aVectors.size(), "point");
    m_aVectors[nIndex]->m_fSpeed = fSpeed;
}

void PERF_POLAR::MoveVector(int nIndex, float fAngle) {
    CheckIndex(nIndex, m_aVectors.size(), "point");
    const PERF_VECTOR saved = *m_aVectors[nIndex];
    // Allocate the replacement first, so that running out of memory changes nothing.
    auto pMoved = std::make_unique<PERF_VECTOR>(saved);
    m_aVectors.erase(m_aVectors.begin() + nIndex);
    std::size_t nTarget = 0;
    while (nTarget < m_aVectors.size() && !(m_aVectors[nTarget]->m_fAngle >= fAngle)) {
        ++nTarget;
    }
    m_aVectors.insert(m_aVectors.begin() + static_cast<std::ptrdiff_t>(nTarget), std::move(pMoved));
}

void PERF_POLAR::RemoveAllVectors() {
    m_aVectors.clear();
}
