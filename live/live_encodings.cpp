#include "live/live_encodings.h"

#include "live/nmea_output.h"
#include "live/signalk_delta.h"

namespace {

std::optional<std::string> Sentences(const Performance& p, const EncodingContext&) {
    return PerformanceSentences(p);
}

std::optional<std::string> DeltaLine(const Performance& p, const EncodingContext& context) {
    return SignalKDelta(p, context.strTimestamp) + '\n';
}

constexpr LiveEncoding kEncodings[] = {
    {"nmea", Sentences},
    {"signalk", DeltaLine},
};

}  // namespace

std::span<const LiveEncoding> LiveEncodings() {
    return kEncodings;
}

const LiveEncoding* EncodingByName(std::string_view name) {
    for (const LiveEncoding& encoding : kEncodings) {
        if (encoding.name == name) {
            return &encoding;
        }
    }
    return nullptr;
}
