// Feeds arbitrary bytes to live's input path, in chunks of sizes the input chooses, and every
// performance to both outputs. Beyond not crashing: each sentence has a valid checksum, fits
// NMEA 0183's 82 characters and, like each delta, holds printable ASCII only.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "data/sailplan.h"
#include "live/live_reader.h"
#include "live/nmea_output.h"
#include "live/signalk_delta.h"
#include "logs/nmea_sentence.h"

namespace {

const SAILPLAN& Plan() {
    static const SAILPLAN plan = [] {
        SAILPLAN p("Fuzz");
        const float aWinds[] = {6, 12};
        for (int i = 0; i < 2; ++i) {
            p.InsertPolar(i, aWinds[i], 42);
            const float aAngles[] = {40, 60, 90, 120, 150, 180};
            for (int j = 0; j < 6; ++j) {
                p.InsertVector(i, j, aAngles[j], 4.0f + static_cast<float>(i + j) * 0.5f);
            }
        }
        return p;
    }();
    return plan;
}

void Check(bool b) {
    if (!b) {
        std::abort();
    }
}

bool Printable(std::string_view text) {
    for (const char c : text) {
        if ((c < 0x20 || c > 0x7E) && c != '\r' && c != '\n') {
            return false;
        }
    }
    return true;
}

void CheckSentences(const std::string& text) {
    Check(Printable(text));
    std::size_t nStart = 0;
    for (std::size_t n = text.find("\r\n"); n != std::string::npos; n = text.find("\r\n", nStart)) {
        const std::string_view sentence(text.data() + nStart, n - nStart);
        NmeaFields fields;
        Check(sentence.size() + 2 <= 82 && SplitNmeaSentence(sentence, fields) &&
              fields.HasChecksum());
        nStart = n + 2;
    }
    Check(nStart == text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const PerformanceCalculator calculator(Plan());
    LiveReader reader([](const Performance& p) {
        // Readings within a sailing boat's limits on a sail plan of a real boat's values: every
        // update is told whole.
        const std::optional<std::string> sentences = PerformanceSentences(p);
        Check(sentences.has_value());
        CheckSentences(sentences.value_or(""));
        Check(Printable(SignalKDelta(p, "2026-06-01T12:00:00.000Z")));
    });
    reader.SetCalculator(&calculator);
    if (size == 0) {
        return 0;
    }
    const std::size_t nChunk = 1 + data[0] % 97u;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (std::size_t n = 0; n < text.size(); n += nChunk) {
        reader.Bytes(text.substr(n, nChunk));
    }
    reader.EndOfChunk();
    return 0;
}
