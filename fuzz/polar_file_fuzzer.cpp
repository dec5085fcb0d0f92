// Feeds arbitrary bytes to the data file reader. Beyond not crashing, the reader must report a
// sound position for a stop, and what it read must write and read back unchanged (the
// normalized text is a fixed point), except for points whose angle the two-decimal text turns
// into a terminator, which the format cannot hold.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/number_text.h"
#include "data/polar_file.h"

namespace {

bool AnglesRepresentable(const SailPlanArray& plans) {
    for (const auto& plan : plans) {
        for (const auto& polar : plan->m_aPolars) {
            for (const auto& point : polar->m_aVectors) {
                if (std::isnan(point->m_fAngle) || point->m_fAngle <= -0.495f) {
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PolarFileContents contents = ParsePolarFile(text);
    if (contents.stop && (contents.stop->nLine < 1 || contents.stop->nColumn < 1)) {
        std::abort();
    }
    const std::string first = FormatPolarFile(contents.aSailPlans);
    if (!AnglesRepresentable(contents.aSailPlans)) {
        return 0;
    }
    const PolarFileContents again = ParsePolarFile(first);
    if (again.stop || FormatPolarFile(again.aSailPlans) != first) {
        std::abort();
    }
    return 0;
}
