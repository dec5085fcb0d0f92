#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "logs/csv_log.h"
#include "logs/instrument_state.h"
#include "logs/log_sample.h"

// Reads a log line by line: NMEA 0183 sentences (anything before the '$' or '!' is a logger's
// prefix) or, when the first line is a header this reader can use, CSV rows. Each line is
// counted once (LogCounts): read, without values, another sentence, or bad; the counts of
// sentence types reach LogCounts when the parser ends.
class LogParser {
  public:
    LogParser(LogCounts& counts, const LogSink& sink) : m_counts(counts), m_state(counts, sink) {}
    ~LogParser();
    LogParser(const LogParser&) = delete;
    LogParser& operator=(const LogParser&) = delete;

    void Line(std::string_view line);
    // What the instruments said last (live use reads the heading and boat speed from it).
    const InstrumentState& State() const { return m_state; }
    // Readings beyond a sailing boat's limits counted as bad lines (InstrumentState).
    void SetPlausibleOnly(bool b) { m_state.SetPlausibleOnly(b); }

  private:
    enum class Mode { Unknown, Nmea, Csv };

    void Sentence(std::string_view sentence);
    void Count(std::string_view type);

    LogCounts& m_counts;
    InstrumentState m_state;
    CsvLog m_csv;
    Mode m_mode = Mode::Unknown;
    // The usual types are counted here (a map lookup per sentence would cost more than reading
    // it), others in the map at once.
    std::array<std::string, 16> m_aTypes;
    std::array<std::uint64_t, 16> m_aTypeCounts{};
};
