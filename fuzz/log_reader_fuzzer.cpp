// Feeds arbitrary bytes to the instrument log reader and the learner. Beyond not crashing:
// every sample it hands out has finite values, an angle from 0 to 180 and no negative speed.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "logs/logs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Learner learner(LearnOptions{});
    LogCounts counts;
    ReadLogText(text, counts, [&](const LogSample& s) {
        if (!std::isfinite(s.fWindSpeed) || !std::isfinite(s.fBoatSpeed) ||
            !(s.fWindAngle >= 0.0f && s.fWindAngle <= 180.0f) || s.fWindSpeed < 0 ||
            s.fBoatSpeed < 0) {
            std::abort();
        }
        learner.Add(s);
    });
    learner.Result("Measured");
    return 0;
}
