// hrosailing's CSV, comma-separated, as its tables write themselves:
//   PolarDiagramTable / TWS / the wind speeds / TWA / the angles / BSP / a row of speeds per angle
// and the several sails of a PolarDiagramMultiSails, sharing the wind speeds:
//   PolarDiagramMultiSails / TWS / the wind speeds / then per sail: its name / TWA / the angles /
//   BSP / a row of speeds per angle.
// Its tables hold a number in every cell, 0 where nothing is known: 0 reads as no value. Angles
// run from 0 to 360; one beyond 180 is read on the other tack unless that angle has a value.
#include <algorithm>
#include <cmath>

#include "exchange/cell_text.h"
#include "exchange/formats.h"
#include "exchange/import_support.h"
#include "exchange/polar_curve.h"
#include "exchange/text_lines.h"

namespace {

constexpr std::string_view kTable = "PolarDiagramTable";
constexpr std::string_view kMultiSails = "PolarDiagramMultiSails";

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '"')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '"' || text.back() == '\r' ||
                             text.back() == ',')) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads the lines one after the other, skipping blank ones, remembering the last one's number.
class LineCursor {
  public:
    explicit LineCursor(std::string_view text) : m_lines(SplitLines(text)) {}
    const TextLine* Next() {
        while (m_nNext < m_lines.size() && Trimmed(m_lines[m_nNext].text).empty()) {
            ++m_nNext;
        }
        if (m_nNext == m_lines.size()) {
            return nullptr;
        }
        m_nLast = m_lines[m_nNext].nNumber;
        return &m_lines[m_nNext++];
    }
    // The next line, blank or not: an empty row is an empty list.
    const TextLine* NextRow() {
        if (m_nNext == m_lines.size()) {
            return nullptr;
        }
        m_nLast = m_lines[m_nNext].nNumber;
        return &m_lines[m_nNext++];
    }
    // The next line without taking it.
    const TextLine* Peek() {
        const std::size_t nKept = m_nNext;
        const int nLast = m_nLast;
        const TextLine* pLine = Next();
        m_nNext = nKept;
        m_nLast = nLast;
        return pLine;
    }
    int LastLine() const { return m_nLast; }

  private:
    std::vector<TextLine> m_lines;
    std::size_t m_nNext = 0;
    int m_nLast = 1;
};

// A row of numbers; an error message where one is not.
std::string NumbersOf(const TextLine& line, std::vector<float>& values, int& nColumn,
                      const char* pszWhat) {
    values.clear();
    if (Trimmed(line.text).empty()) {
        return {};
    }
    for (const Cell& cell : SplitCells(line.text, ',')) {
        const std::optional<float> value = ParseExchangeNumber(Trimmed(cell.text), false);
        if (!value) {
            nColumn = cell.nColumn;
            return std::string("expected ") + pszWhat + ", found " + ShownCell(cell.text);
        }
        values.push_back(*value);
    }
    return {};
}

struct Reading {
    ImportResult& result;
    LineCursor& cursor;
    bool Fail(int nLine, int nColumn, std::string strMessage) {
        result.error = ProblemAt(nLine, nColumn, std::move(strMessage));
        return false;
    }
    // A line holding just the label.
    bool Label(std::initializer_list<std::string_view> labels) {
        const TextLine* pLine = cursor.Next();
        const std::string_view found = pLine != nullptr ? Trimmed(pLine->text) : "";
        for (std::string_view label : labels) {
            if (EqualsIgnoringCase(found, label)) {
                return true;
            }
        }
        return Fail(pLine != nullptr ? pLine->nNumber : cursor.LastLine(), 1,
                    "expected a line \"" + std::string(*labels.begin()) + "\"");
    }
    bool Row(std::vector<float>& values, const char* pszWhat) {
        const TextLine* pLine = cursor.NextRow();
        if (pLine == nullptr) {
            return Fail(cursor.LastLine(), 1, std::string("expected a row of ") + pszWhat);
        }
        int nColumn = 1;
        const std::string strError = NumbersOf(*pLine, values, nColumn, pszWhat);
        return strError.empty() || Fail(pLine->nNumber, nColumn, strError);
    }
    // One table: TWA, the angles, BSP, a row per angle; into plan, a polar per wind speed.
    bool Table(const std::vector<float>& windSpeeds, SAILPLAN& plan) {
        std::vector<float> angles;
        if (!Label({"TWA"}) || !Row(angles, "wind angles") ||
            !Label({"BSP", "Boat speeds", "Boat speeds:"})) {
            return false;
        }
        for (const float ws : windSpeeds) {
            plan.InsertPolar(plan.GetPolarCount(), ws, kUnknownTackingAngle);
        }
        std::vector<std::pair<float, std::vector<float>>> rows;
        for (const float fAngle : angles) {
            std::vector<float> speeds;
            if (!Row(speeds, "boat speeds")) {
                return false;
            }
            if (speeds.size() != windSpeeds.size()) {
                return Fail(cursor.LastLine(), 1,
                            "expected " + std::to_string(windSpeeds.size()) +
                                " boat speeds, one per wind speed; found " +
                                std::to_string(speeds.size()));
            }
            if (fAngle < 0 || fAngle > 360) {
                return Fail(cursor.LastLine(), 1, "a wind angle from 0 to 360 is expected");
            }
            rows.emplace_back(fAngle, std::move(speeds));
        }
        // The angles up to 180 first, so that an angle beyond it never hides one of them.
        std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            return (a.first > 180) < (b.first > 180);
        });
        const int nFirst = plan.GetPolarCount() - static_cast<int>(windSpeeds.size());
        for (const auto& [fAngle, speeds] : rows) {
            const float fOnTack = fAngle > 180 ? 360 - fAngle : fAngle;
            for (std::size_t n = 0; n < speeds.size(); ++n) {
                if (speeds[n] > 0) {
                    AddPointIfNew(plan.Polar(nFirst + static_cast<int>(n)), fOnTack, speeds[n]);
                }
            }
        }
        return true;
    }
};

// Polars without a point (a sail not used at a wind speed) are left out.
void Finish(SAILPLAN& plan) {
    for (int n = plan.GetPolarCount() - 1; n >= 0; --n) {
        if (plan.Polar(n).GetVectorCount() == 0) {
            plan.RemovePolar(n);
        }
    }
    SortSailPlan(plan);
    SetMissingTackingAngles(plan);
}

std::string Joined(const std::vector<float>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += FormatExchangeNumber(values[i]);
    }
    return out + '\n';
}

// A sail's name as one CSV cell: quoted when it holds a comma or a quote.
std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos && !text.empty()) {
        return text;
    }
    std::string out = "\"";
    for (const char c : text) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return out + '"';
}

}  // namespace

ImportResult ImportHrosailingCsv(std::string_view text, const std::string& strName) {
    ImportResult result;
    result.pSailPlan = std::make_unique<SAILPLAN>(strName);
    LineCursor cursor(text);
    Reading reading{result, cursor};
    const TextLine* pFirst = cursor.Next();
    const std::string_view kind = pFirst != nullptr ? Trimmed(pFirst->text) : "";
    if (kind != kTable && kind != kMultiSails) {
        result.error = ProblemAt(pFirst != nullptr ? pFirst->nNumber : 1, 1,
                                 "expected a first line PolarDiagramTable or "
                                 "PolarDiagramMultiSails");
        return result;
    }
    std::vector<float> windSpeeds;
    if (!reading.Label({"TWS"}) || !reading.Row(windSpeeds, "wind speeds")) {
        return result;
    }
    if (std::any_of(windSpeeds.begin(), windSpeeds.end(), [](float f) { return f < 0; })) {
        result.error = ProblemAt(cursor.LastLine(), 1, "a wind speed below 0");
        return result;
    }
    if (kind == kTable) {
        reading.Table(windSpeeds, *result.pSailPlan);
        Finish(*result.pSailPlan);
        return result;
    }
    bool bFirst = true;
    while (!result.error && cursor.Peek() != nullptr) {
        std::string strSail(Trimmed(cursor.Next()->text));
        // A quoted name keeps its commas; "" stands for one quote.
        for (std::size_t n = strSail.find("\"\""); n != std::string::npos;
             n = strSail.find("\"\"", n + 1)) {
            strSail.erase(n, 1);
        }
        std::unique_ptr<SAILPLAN> pOwn;
        SAILPLAN* pPlan = result.pSailPlan.get();
        if (!bFirst) {
            pOwn = std::make_unique<SAILPLAN>(strSail);
            pPlan = pOwn.get();
        } else {
            pPlan->SetName(strSail);
        }
        bFirst = false;
        reading.Table(windSpeeds, *pPlan);
        Finish(*pPlan);
        if (pOwn) {
            result.aMoreSailPlans.push_back(std::move(pOwn));
        }
    }
    if (bFirst && !result.error) {
        result.error = ProblemAt(cursor.LastLine(), 1, "expected a sail's name and its table");
    }
    return result;
}

std::string ExportHrosailingCsv(const std::vector<const SAILPLAN*>& sailPlans) {
    // The sails share the wind speeds: all of them, 0 where a sail plan has no polar.
    std::vector<float> windSpeeds;
    for (const SAILPLAN* pPlan : sailPlans) {
        for (const auto& pPolar : pPlan->m_aPolars) {
            windSpeeds.push_back(pPolar->m_fWindSpeed);
        }
    }
    std::sort(windSpeeds.begin(), windSpeeds.end());
    windSpeeds.erase(std::unique(windSpeeds.begin(), windSpeeds.end()), windSpeeds.end());
    const bool bSeveral = sailPlans.size() > 1;
    std::string out = std::string(bSeveral ? kMultiSails : kTable) + "\nTWS\n" + Joined(windSpeeds);
    for (const SAILPLAN* pPlan : sailPlans) {
        if (bSeveral) {
            out += CsvCell(pPlan->m_strName) + '\n';
        }
        const std::vector<float> angles = UnionOfAngles(*pPlan);
        out += "TWA\n";
        out += Joined(angles);
        out += "BSP\n";
        for (const float fAngle : angles) {
            std::vector<float> speeds;
            for (const float ws : windSpeeds) {
                const auto it = std::find_if(pPlan->m_aPolars.begin(), pPlan->m_aPolars.end(),
                                             [&](const auto& p) { return p->m_fWindSpeed == ws; });
                const std::optional<float> speed =
                    it != pPlan->m_aPolars.end() ? WrittenSpeed(**it, fAngle) : std::nullopt;
                speeds.push_back(speed.value_or(0.0f));
            }
            out += Joined(speeds);
        }
    }
    return out;
}
