// Feeds arbitrary bytes to the importers of polarctl. Beyond not crashing: what an
// importer read exports in every format, and each export imports again without an error.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/exchange.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ImportResult results[] = {ImportGrid(text, "g"), ImportLines(text, "l"),
                              ImportRatingJson(text, "j"), ImportRatingCsv(text, "c")};
    for (const ImportResult& result : results) {
        if (result.error && (result.error->nLine < 1 || result.error->nColumn < 1)) {
            std::abort();
        }
    }
    for (const ImportResult& result : results) {
        if (result.error || result.pSailPlan->m_aPolars.empty()) {
            continue;
        }
        const SAILPLAN& plan = *result.pSailPlan;
        if (ImportGrid(ExportGrid(plan, '\t'), "g").error ||
            ImportGrid(ExportGrid(plan, ';'), "g").error ||
            ImportLines(ExportLines(plan), "l").error ||
            ImportRatingJson(ExportRatingJson(plan), "").error ||
            ImportRatingCsv(ExportRatingCsv(plan), "c").error) {
            std::abort();
        }
    }
    return 0;
}
