#include "data/polar_file.h"

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

std::string FormatPolarFile(const SailPlanArray& aSailPlans) {
    std::vector<const SAILPLAN*> aWritten;
    std::size_t nPoints = 0;
    for (const auto& pSailPlan : aSailPlans) {
        if (!pSailPlan->m_aPolars.empty()) {
            aWritten.push_back(pSailPlan.get());
            for (const auto& pPolar : pSailPlan->m_aPolars) {
                nPoints += pPolar->m_aVectors.size() + 2;
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

IoStatus LoadPolarFile(const std::string& strPath, PolarFileContents& contents) {
    std::string strText;
    IoStatus status = ReadWholeFile(strPath, strText);
    if (!status.Ok()) {
        contents = PolarFileContents{};
        return status;
    }
    contents = ParsePolarFile(strText);
    return status;
}

IoStatus SavePolarFile(const std::string& strPath, const SailPlanArray& aSailPlans) {
    if (aSailPlans.empty()) {
        return {};
    }
    return WriteFileAtomically(strPath, FormatPolarFile(aSailPlans));
}
