// Feeds arbitrary bytes to the readers of every exchange format. Beyond not crashing: what a
// reader read is written in every format (a grid both with ';' and with tabs), and each of those
// reads again without an error.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/exchange.h"

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
        for (const ExchangeFormat& other : ExchangeFormats()) {
            for (const char* pszPath : {"out.csv", "out.pol"}) {
                if (other.read(other.write(*result.pSailPlan, pszPath), "again").error) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
