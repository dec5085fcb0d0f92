#include "data/polar_file.h"

#include <algorithm>

#include "data/number_text.h"
#include "data/text_encoding.h"

PolarFileContents ParsePolarFile(std::string_view text) {
    PolarFileContents contents;
    PolarTextScanner in(text);
    // White space after the last terminator (a final line end, as text editors add) ends the
    // file as cleanly as the end itself.
    while (!in.OnlySpaceLeft()) {
        auto pSailPlan = std::make_unique<SAILPLAN>(std::string());
        bool bNameRead = false;
        const bool bComplete = pSailPlan->Read(in, &bNameRead);
        // An incomplete sail plan keeps its complete polars, provided its name was complete.
        if (bNameRead) {
            contents.aSailPlans.push_back(std::move(pSailPlan));
        }
        if (!bComplete) {
            break;
        }
    }
    contents.aWarnings = in.TakeWarnings();
    contents.stop = in.TakeStop();
    return contents;
}

std::string DescribeOmissions(const PolarFileOmissions& omitted) {
    std::string strText;
    for (const auto& strName : omitted.aEmptySailPlans) {
        strText += "Sail plan \"" + DecodeForDisplay(strName) +
                   "\" has no wind speeds and is not saved.\n";
    }
    for (const auto& point : omitted.aUnwritablePoints) {
        strText += "The point at angle " + FormatFixed2(point.fAngle) + ", speed " +
                   FormatFixed2(point.fSpeed) + " of sail plan \"" +
                   DecodeForDisplay(point.strSailPlan) + "\", wind speed " +
                   FormatFixed2(point.fWindSpeed) +
                   " is not saved: it would read back as the end of its polar.\n";
    }
    return strText;
}

std::string FormatPolarFile(const SailPlanArray& aSailPlans, PolarFileOmissions* pOmitted) {
    std::vector<const SAILPLAN*> aWritten;
    std::size_t nPoints = 0;
    for (const auto& pSailPlan : aSailPlans) {
        if (pSailPlan->m_aPolars.empty()) {
            if (pOmitted != nullptr) {
                pOmitted->aEmptySailPlans.push_back(pSailPlan->m_strName);
            }
            continue;
        }
        aWritten.push_back(pSailPlan.get());
        for (const auto& pPolar : pSailPlan->m_aPolars) {
            nPoints += pPolar->m_aVectors.size() + 2;
            if (pOmitted == nullptr) {
                continue;
            }
            for (const auto& pVector : pPolar->m_aVectors) {
                if (!pVector->IsWritable()) {
                    pOmitted->aUnwritablePoints.push_back({pSailPlan->m_strName,
                                                           pPolar->m_fWindSpeed, pVector->m_fAngle,
                                                           pVector->m_fSpeed});
                }
            }
        }
    }
    std::string out;
    out.reserve(nPoints * 14 + aWritten.size() * 32);
    for (std::size_t i = 0; i < aWritten.size(); ++i) {
        aWritten[i]->Write(out, i + 1 == aWritten.size());
    }
    return out;
}

std::string ContentOfSailPlans(const SailPlanArray& aSailPlans) {
    std::vector<std::string> aPlans;
    aPlans.reserve(aSailPlans.size());
    for (const auto& pSailPlan : aSailPlans) {
        std::vector<std::string> aPolars;
        aPolars.reserve(pSailPlan->m_aPolars.size());
        for (const auto& pPolar : pSailPlan->m_aPolars) {
            std::string strPolar;
            pPolar->Write(strPolar, false, false);
            aPolars.push_back(std::move(strPolar));
        }
        std::sort(aPolars.begin(), aPolars.end());
        std::string strPlan = pSailPlan->m_strName;
        strPlan.push_back('\0');
        for (const auto& strPolar : aPolars) {
            strPlan += strPolar;
        }
        aPlans.push_back(std::move(strPlan));
    }
    std::sort(aPlans.begin(), aPlans.end());
    std::string out;
    for (const auto& strPlan : aPlans) {
        out += strPlan;
        out.push_back('\0');
    }
    return out;
}

IoStatus LoadPolarFile(const std::string& strPath, PolarFileContents& contents,
                       FileIdentity* pIdentity) {
    std::string strText;
    IoStatus status = pIdentity != nullptr ? ReadFileWithIdentity(strPath, strText, *pIdentity)
                                           : ReadWholeFile(strPath, strText);
    if (!status.Ok()) {
        contents = PolarFileContents{};
        return status;
    }
    contents = ParsePolarFile(strText);
    return status;
}

IoStatus SavePolarFile(const std::string& strPath, const SailPlanArray& aSailPlans,
                       PolarFileOmissions* pOmitted, ReadOnlyFiles readOnly, SpecialFiles special) {
    if (aSailPlans.empty()) {
        return {};
    }
    return WriteFileAtomically(strPath, FormatPolarFile(aSailPlans, pOmitted), readOnly, special);
}
