// Reading and writing of the three records in the text layout of the data file.
#include <cmath>
#include <vector>

#include "data/number_text.h"
#include "data/polar_text_scanner.h"
#include "data/sailplan.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

// Values at or below -0.5 in the angle position end a polar; below -1.5 also its sail plan.
constexpr float kEndOfPolar = -0.5f;
constexpr float kEndOfSailPlan = -1.5f;

}  // namespace

void PERF_VECTOR::Write(std::string& out) const {
    AppendFixed2(out, m_fAngle);
    out.push_back(',');
    AppendFixed2(out, m_fSpeed);
    out.push_back(',');
}

bool PERF_VECTOR::IsWritable() const {
    return std::isfinite(m_fAngle) && std::isfinite(m_fSpeed) &&
           std::nearbyint(static_cast<double>(m_fAngle) * 100.0) > -50.0;
}

void PERF_POLAR::Write(std::string& out, bool bLastSailPlan, bool bLastPolar) const {
    AppendFixed2(out, m_fWindSpeed);
    out.push_back(',');
    AppendFixed2(out, m_fTackingAngle);
    out.push_back(',');
    out += kLineEnd;
    for (const auto& pVector : m_aVectors) {
        if (pVector->IsWritable()) {
            pVector->Write(out);
        }
    }
    if (!bLastPolar) {
        out += "-1";
        out += kLineEnd;
    } else if (!bLastSailPlan) {
        out += "-2";
        out += kLineEnd;
    } else {
        out += "-2";  // the file ends here, without a line end
    }
}

void SAILPLAN::Write(std::string& out, bool bLastSailPlan) const {
    // The reader ends a name at its first comma, and the rest would be taken for numbers: the
    // name is written up to there, which is all that could ever be read back.
    const std::size_t nComma = m_strName.find(',');
    out.append(m_strName, 0, nComma);
    out.push_back(',');
    out += kLineEnd;
    for (std::size_t i = 0; i < m_aPolars.size(); ++i) {
        m_aPolars[i]->Write(out, bLastSailPlan, i + 1 == m_aPolars.size());
    }
}

bool PERF_POLAR::Read(PolarTextScanner& in, bool* pbLastOfSailPlan) {
    *pbLastOfSailPlan = false;
    if (!in.ReadNumber(m_fWindSpeed, "wind speed") ||
        !in.ReadNumber(m_fTackingAngle, "tacking angle")) {
        return false;
    }
    // The values go to a scratch list first, so that the array of points is sized once.
    thread_local std::vector<PERF_VECTOR> aRead;
    aRead.clear();
    for (;;) {
        float x = 0.0f;
        if (!in.ReadNumber(x, "angle or end of polar")) {
            return false;
        }
        if (!(x > kEndOfPolar)) {
            *pbLastOfSailPlan = x < kEndOfSailPlan;
            break;
        }
        float fSpeed = 0.0f;
        if (!in.ReadNumber(fSpeed, "boat speed")) {
            return false;
        }
        aRead.push_back(PERF_VECTOR{x, fSpeed});
    }
    m_aVectors.reserve(m_aVectors.size() + aRead.size());
    for (const PERF_VECTOR& v : aRead) {
        m_aVectors.push_back(std::make_unique<PERF_VECTOR>(v));
    }
    return true;
}

bool SAILPLAN::Read(PolarTextScanner& in, bool* pbNameRead) {
    m_aPolars.clear();
    const bool bNameRead = in.ReadName(m_strName);
    if (pbNameRead != nullptr) {
        *pbNameRead = bNameRead;
    }
    if (!bNameRead) {
        return false;
    }
    // A name followed by the end of the file or directly by another name is a sail plan
    // without polars, which older files may hold.
    if (in.OnlySpaceLeft() || !in.AtNumberField()) {
        return true;
    }
    for (;;) {
        auto pPolar = std::make_unique<PERF_POLAR>(0.0f, 0.0f);
        bool bLast = false;
        if (!pPolar->Read(in, &bLast)) {
            return false;
        }
        m_aPolars.push_back(std::move(pPolar));
        if (bLast) {
            return true;
        }
    }
}
