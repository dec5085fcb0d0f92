#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/perf_vector.h"

class PolarTextScanner;

using VectorArray = std::vector<std::unique_ptr<PERF_VECTOR>>;

// The index at which a point of this angle goes to keep the order: before the first point
// whose angle is greater than or equal to it, or at the end.
int OrderedIndexForAngle(const VectorArray& aVectors, float fAngle);

// The polar of one true wind speed: the wind speed, the tacking angle and the points, kept in
// ascending order of angle by callers that insert at the index the ordering rule gives.
class PERF_POLAR {
  public:
    PERF_POLAR(float fWindSpeed, float fTackingAngle);

    float m_fWindSpeed;
    float m_fTackingAngle;
    VectorArray m_aVectors;

    int GetVectorCount() const { return static_cast<int>(m_aVectors.size()); }

    void InsertVector(int nIndex, float fAngle, float fSpeed);
    void RemoveVector(int nIndex);
    void SetVectorAngle(int nIndex, float fAngle);
    void SetVectorSpeed(int nIndex, float fSpeed);
    // Re-creates the point at nIndex before the first point whose angle is >= fAngle. The point
    // object is replaced: pointers to the old one are no longer valid.
    void MoveVector(int nIndex, float fAngle);
    void RemoveAllVectors();

    // Reads the header, the points and the terminator at the scanner's position. Returns false
    // when the polar is incomplete (the scanner then holds the reason); *pbLastOfSailPlan tells
    // whether the terminator also ended the sail plan.
    bool Read(PolarTextScanner& in, bool* pbLastOfSailPlan);
    void Write(std::string& out, bool bLastSailPlan, bool bLastPolar) const;

    // Smoothing (defined in smoothing/): replaces the points by samples of a least-squares
    // polynomial, setting the measured points aside until EndSmooth decides.
    int Smooth();
    void EndSmooth(bool bRestore);
};
