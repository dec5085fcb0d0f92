#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "live/performance.h"
#include "logs/log_parser.h"
#include "logs/log_sample.h"

// Instrument data as it arrives (NMEA 0183 in chunks of any size, from any source) made into
// performance: the same sentences, checksum rules and wind triangle as learn, through the same
// parser. Each wind reading gives a performance; so does a boat speed reading while the last
// wind is current (the wind kept as it was). Lines longer than any sentence are skipped and
// counted as bad, so the memory held stays bounded whatever bytes come.
class LiveReader {
  public:
    using PerformanceSink = std::function<void(const Performance&)>;

    // Without a calculator (none set yet) the input is read and counted, and nothing given.
    explicit LiveReader(PerformanceSink sink);
    LiveReader(const LiveReader&) = delete;
    LiveReader& operator=(const LiveReader&) = delete;

    // The calculator to use from now on (a polar file re-read); it must outlive its use.
    void SetCalculator(const PerformanceCalculator* pCalculator) { m_pCalculator = pCalculator; }

    // Bytes as they came; lines end at '\n'.
    void Bytes(std::string_view chunk);
    // The end of a stream or a datagram: a last line without its end is read as it is.
    void EndOfChunk();

    // The counts of what was read; the sentence types reach them when the reader ends.
    const LogCounts& Counts() const { return m_counts; }
    std::uint64_t Updates() const { return m_nUpdates; }
    // The log's clock as the input set it last (InstrumentState::Now).
    double LogTime() const { return m_parser.State().Now(); }

    static constexpr std::size_t kMaxLine = 1024;

  private:
    void Line(std::string_view line);
    void Sample(const LogSample& sample);
    void Give(const LogSample& sample, bool bWindReading);

    PerformanceSink m_performanceSink;
    const PerformanceCalculator* m_pCalculator = nullptr;
    LogCounts m_counts;
    LogSink m_sampleSink;
    LogParser m_parser;
    std::string m_line;
    bool m_bOverlong = false;
    bool m_bSampleInLine = false;
    std::optional<LogSample> m_lastWind;
    std::uint64_t m_nUpdates = 0;
};
