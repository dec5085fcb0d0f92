// Feeds arbitrary bytes to the readers of every exchange format. Beyond not crashing: what a
// reader read is written in every format that can hold it (a grid both with ';' and with tabs,
// and with a decimal comma; every sail plan at once where a format holds several), each of those
// reads again without an error, and the notes of what an export loses are found without one.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/exchange.h"

namespace {

void WriteAndReadAgain(const ExchangeFormat& format, const std::vector<const SAILPLAN*>& plans) {
    for (const SAILPLAN* pPlan : plans) {
        if (format.refusal != nullptr && !format.refusal(*pPlan).empty()) {
            return;  // the format says why it cannot hold this sail plan
        }
    }
    for (const char* pszPath : {"out.csv", "out.pol"}) {
        for (const bool bComma : {false, true}) {
            if (bComma && !format.bDecimalComma) {
                continue;
            }
            const ExportTarget target(pszPath, bComma);
            const std::string text = plans.size() == 1 ? format.write(*plans[0], target)
                                                       : format.writeAll(plans, target);
            const ImportResult again = format.read(text, "again");
            if (again.error || again.aMoreSailPlans.size() + 1 != plans.size()) {
                std::abort();
            }
            for (const std::string& note : ExportNotes(format, plans, text)) {
                if (note.starts_with("the file does not read back")) {
                    std::abort();
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const ExchangeFormat& format : ExchangeFormats()) {
        const ImportResult result = format.read(text, "fuzz");
        if (result.error && (result.error->nLine < 1 || result.error->nColumn < 1)) {
            std::abort();
        }
        if (result.error || result.pSailPlan->m_aPolars.empty()) {
            continue;
        }
        std::vector<const SAILPLAN*> plans = {result.pSailPlan.get()};
        for (const auto& pMore : result.aMoreSailPlans) {
            if (!pMore->m_aPolars.empty()) {
                plans.push_back(pMore.get());
            }
        }
        for (const ExchangeFormat& other : ExchangeFormats()) {
            WriteAndReadAgain(other, {plans[0]});
            if (plans.size() > 1 && other.writeAll != nullptr) {
                WriteAndReadAgain(other, plans);
            }
        }
    }
    return 0;
}
