#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "live/performance.h"

// What an encoding may need beside the performance: the update's time in UTC as RFC 3339.
struct EncodingContext {
    std::string_view strTimestamp;
};

// The ways a performance is told, one row each: the name outputs choose it by, and the text of
// one update (every line with its end), or nothing when the update cannot be told whole. A new
// kind of output is one row and its function.
struct LiveEncoding {
    std::string_view name;
    std::optional<std::string> (*encode)(const Performance&, const EncodingContext&);
};

// "nmea" (the sentences of PerformanceSentences) and "signalk" (a delta line, SignalKDelta).
std::span<const LiveEncoding> LiveEncodings();
// The encoding of that name, or nullptr.
const LiveEncoding* EncodingByName(std::string_view name);
