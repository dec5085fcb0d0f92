#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "live/input_damping.h"
#include "live/performance.h"
#include "logs/log_parser.h"
#include "logs/log_sample.h"

// How often a live session tells, and how it damps what it reads.
struct LiveOptions {
    double dRateHz = 0;          // at most this many updates a second; 0: one per wind reading
    double dDampingSeconds = 0;  // the time constant of the inputs' average; 0: none
};

// Instrument data as it arrives (NMEA 0183 in chunks of any size, from any source) made into
// performance: the same sentences, checksum rules and wind triangle as learn, through the same
// parser. Readings beyond a sailing boat's limits (those check and learn warn of) are bad lines
// and reach nothing. The wind reading drives the updates: one per instrument cycle, made by
// the first type of wind sentence seen (another type takes over when that one has been silent
// for 2 s of the log's clock); other readings, and other wind sentences, update the state.
// Lines longer than any sentence are skipped and counted as bad, so the memory held stays
// bounded whatever bytes come.
class LiveReader {
  public:
    using PerformanceSink = std::function<void(const Performance&)>;

    // Without a calculator (none set yet) the input is read and counted, and nothing given.
    explicit LiveReader(PerformanceSink sink, LiveOptions options = {});
    LiveReader(const LiveReader&) = delete;
    LiveReader& operator=(const LiveReader&) = delete;

    // The calculator to use from now on (a polar file re-read); it must outlive its use.
    void SetCalculator(const PerformanceCalculator* pCalculator) { m_pCalculator = pCalculator; }
    // The clock the rate and the damping go by, in seconds (any origin); by default the
    // system's steady clock. A replay gives the log's own.
    void SetClock(std::function<double()> clock) { m_clock = std::move(clock); }

    // Bytes as they came; lines end at '\n'.
    void Bytes(std::string_view chunk);
    // The end of a stream or a datagram: a last line without its end is read as it is.
    void EndOfChunk();

    // The counts of what was read; the sentence types reach them when the reader ends.
    const LogCounts& Counts() const { return m_counts; }
    std::uint64_t Updates() const { return m_nUpdates; }
    // The log's clock as the input set it last (InstrumentState::Now).
    double LogTime() const { return m_parser.State().Now(); }
    const LiveOptions& Options() const { return m_options; }

    static constexpr std::size_t kMaxLine = 1024;

  private:
    void Line(std::string_view line);
    void Sample(const LogSample& sample);
    bool Drives(double dLogTime);

    PerformanceSink m_performanceSink;
    LiveOptions m_options;
    std::function<double()> m_clock;
    const PerformanceCalculator* m_pCalculator = nullptr;
    LogCounts m_counts;
    LogSink m_sampleSink;
    LogParser m_parser;
    InputDamping m_damping;
    std::string m_line;
    bool m_bOverlong = false;
    std::string_view m_lineType;  // the sentence type of the line being read ("MWV")
    std::string m_driver;         // the wind sentence type that makes the updates
    double m_dDriverTime = 0;
    bool m_bGiven = false;
    double m_dLastGiven = 0;
    std::uint64_t m_nUpdates = 0;
};
