#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/perf_polar.h"

using PolarArray = std::vector<std::unique_ptr<PERF_POLAR>>;

// A named set of polars for one sail configuration, kept in ascending order of wind speed by
// callers that insert at the index the ordering rule gives.
class SAILPLAN {
  public:
    explicit SAILPLAN(std::string strName);

    std::string m_strName;
    PolarArray m_aPolars;

    int GetPolarCount() const { return static_cast<int>(m_aPolars.size()); }

    void SetName(std::string strName);
    void InsertPolar(int nIndex, float fWindSpeed, float fTackingAngle);
    void RemovePolar(int nIndex);
    void RemoveAllPolars();
    void SetWindSpeed(int nPolar, float fWindSpeed);
    void SetTackingAngle(int nPolar, float fTackingAngle);
    // -1.0 when there are no polars at all, whatever nPolar is.
    float GetTackingAngle(int nPolar) const;
    // Moves the same polar object before the first polar whose wind speed is >= fWindSpeed;
    // pointers to it stay valid.
    void MovePolar(int nPolar, float fWindSpeed);

    void InsertVector(int nPolar, int nIndex, float fAngle, float fSpeed);
    void RemoveVector(int nPolar, int nIndex);
    void SetVectorAngle(int nPolar, int nIndex, float fAngle);
    void SetVectorSpeed(int nPolar, int nIndex, float fSpeed);
    void MoveVector(int nPolar, int nIndex, float fAngle);

    // Smoothing (defined in smoothing/), forwarded to the polar after the index check.
    int SmoothPolar(int nPolar);
    void EndSmooth(int nPolar, bool bRestore);

    // Reads a name and its polars at the scanner's position. Returns false when the sail plan
    // is incomplete; the complete polars read before the fault are kept, and *pbNameRead
    // tells whether at least the name was complete.
    bool Read(PolarTextScanner& in, bool* pbNameRead = nullptr);
    void Write(std::string& out, bool bLastSailPlan) const;

    PERF_POLAR& Polar(int nPolar);
    const PERF_POLAR& Polar(int nPolar) const;
};

using SailPlanArray = std::vector<std::unique_ptr<SAILPLAN>>;
