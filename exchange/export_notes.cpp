// What an exported file cannot hold, found the one way that cannot drift from the writers: the
// text is read back with the format's own reader and compared with what was written.
#include <cmath>

#include "data/text_encoding.h"
#include "exchange/cell_text.h"
#include "exchange/format_table.h"

namespace {

// The formats write to the hundredth; what comes back within that is held.
constexpr float kHeld = 0.0051f;

bool Near(float a, float b) {
    return std::fabs(a - b) <= kHeld;
}

const PERF_POLAR* PolarAt(const SAILPLAN& plan, float fWindSpeed) {
    for (const auto& pPolar : plan.m_aPolars) {
        if (Near(pPolar->m_fWindSpeed, fWindSpeed)) {
            return pPolar.get();
        }
    }
    return nullptr;
}

bool HoldsPoint(const PERF_POLAR& polar, float fAngle, float fSpeed) {
    for (const auto& pVector : polar.m_aVectors) {
        if (Near(pVector->m_fAngle, fAngle) && Near(pVector->m_fSpeed, fSpeed)) {
            return true;
        }
    }
    return false;
}

std::string Knots(float f) {
    return FormatExchangeNumber(f) + " kn";
}

std::string Degrees(float f) {
    return FormatExchangeNumber(f) + "\xC2\xB0";
}

// A few examples of a list, then how many more.
std::string Examples(const std::vector<std::string>& items) {
    constexpr std::size_t kShown = 3;
    std::string out;
    for (std::size_t i = 0; i < items.size() && i < kShown; ++i) {
        if (i > 0) {
            out += ", ";
        }
        out += items[i];
    }
    if (items.size() > kShown) {
        out += " and " + std::to_string(items.size() - kShown) + " more";
    }
    return out;
}

void CompareSailPlan(const SAILPLAN& original, const SAILPLAN* pBack,
                     std::vector<std::string>& notes) {
    std::string strName = "\"";
    strName += DecodeForDisplay(original.m_strName);
    strName += '"';
    if (pBack == nullptr) {
        notes.push_back("the sail plan " + strName + " is not written");
        return;
    }
    if (pBack->m_strName != original.m_strName && !original.m_strName.empty()) {
        notes.push_back("the sail plan's name " + strName + " is not held");
    }
    std::vector<std::string> missingPolars;
    std::vector<std::string> missingPoints;
    std::vector<std::string> tackingAngles;
    for (const auto& pPolar : original.m_aPolars) {
        const PERF_POLAR* pBackPolar = PolarAt(*pBack, pPolar->m_fWindSpeed);
        if (pBackPolar == nullptr) {
            missingPolars.push_back(Knots(pPolar->m_fWindSpeed));
            continue;
        }
        for (const auto& pVector : pPolar->m_aVectors) {
            if (!HoldsPoint(*pBackPolar, pVector->m_fAngle, pVector->m_fSpeed)) {
                missingPoints.push_back(Knots(pPolar->m_fWindSpeed) + " at " +
                                        Degrees(pVector->m_fAngle));
            }
        }
        if (!Near(pBackPolar->m_fTackingAngle, pPolar->m_fTackingAngle)) {
            tackingAngles.push_back(Knots(pPolar->m_fWindSpeed) + ": " +
                                    Degrees(pPolar->m_fTackingAngle) + " reads back as " +
                                    Degrees(pBackPolar->m_fTackingAngle));
        }
    }
    const std::string strOf = " of " + strName;
    if (!missingPolars.empty()) {
        notes.push_back(
            std::to_string(missingPolars.size()) + " polars" + strOf +
            " are not held (wind speeds the format has no room for): " + Examples(missingPolars));
    }
    if (!missingPoints.empty()) {
        notes.push_back(std::to_string(missingPoints.size()) + " points" + strOf +
                        " are not held (angles outside the format's table, or values it cannot "
                        "hold): " +
                        Examples(missingPoints));
    }
    if (!tackingAngles.empty()) {
        notes.push_back(std::to_string(tackingAngles.size()) + " tacking angles" + strOf +
                        " are not held (the format states the best upwind angle, which an import "
                        "takes as the tacking angle): " +
                        Examples(tackingAngles));
    }
}

}  // namespace

std::vector<std::string> ExportNotes(const ExchangeFormat& format,
                                     const std::vector<const SAILPLAN*>& sailPlans,
                                     std::string_view text) {
    std::vector<std::string> notes;
    // An empty name: a reader that finds none in the file leaves it empty.
    const ImportResult back = format.read(text, "");
    if (back.error) {
        notes.push_back("the file does not read back: line " + std::to_string(back.error->nLine) +
                        ", column " + std::to_string(back.error->nColumn) + ": " +
                        back.error->strMessage);
        return notes;
    }
    std::vector<const SAILPLAN*> backPlans = {back.pSailPlan.get()};
    for (const auto& pMore : back.aMoreSailPlans) {
        backPlans.push_back(pMore.get());
    }
    for (std::size_t i = 0; i < sailPlans.size(); ++i) {
        const SAILPLAN* pBack = i < backPlans.size() ? backPlans[i] : nullptr;
        CompareSailPlan(*sailPlans[i], pBack, notes);
    }
    return notes;
}
