#include "live/live_reader.h"

#include <cmath>
#include <limits>
#include <utility>

LiveReader::LiveReader(PerformanceSink sink)
    : m_performanceSink(std::move(sink)),
      m_sampleSink([this](const LogSample& s) { Sample(s); }),
      m_parser(m_counts, m_sampleSink) {
    m_line.reserve(kMaxLine);
}

void LiveReader::Bytes(std::string_view chunk) {
    while (!chunk.empty()) {
        const std::size_t nEnd = chunk.find('\n');
        const std::string_view part = chunk.substr(0, nEnd);
        if (!m_bOverlong && m_line.size() + part.size() <= kMaxLine) {
            m_line.append(part);
        } else if (!m_bOverlong) {
            m_bOverlong = true;
            m_line.clear();
        }
        if (nEnd == std::string_view::npos) {
            return;
        }
        EndOfChunk();
        chunk.remove_prefix(nEnd + 1);
    }
}

void LiveReader::EndOfChunk() {
    if (m_bOverlong) {
        ++m_counts.nLines;
        ++m_counts.nBadLines;
        m_bOverlong = false;
    } else if (!m_line.empty()) {
        Line(m_line);
    }
    m_line.clear();
}

void LiveReader::Line(std::string_view line) {
    m_bSampleInLine = false;
    const std::uint64_t nBoatSpeedReadings = m_counts.nBoatSpeedReadings;
    m_parser.Line(line);
    if (m_bSampleInLine || m_counts.nBoatSpeedReadings == nBoatSpeedReadings || !m_lastWind) {
        return;
    }
    // A new boat speed with the wind of a moment ago: the wind as it was.
    const InstrumentState& state = m_parser.State();
    const std::optional<double> boatSpeed = state.CurrentBoatSpeed();
    constexpr double kMaxFloat = std::numeric_limits<float>::max();
    if (!boatSpeed || !(*boatSpeed >= 0 && *boatSpeed <= kMaxFloat) ||
        state.Now() - m_lastWind->dTime > 2.0) {
        return;
    }
    LogSample sample = *m_lastWind;
    sample.dTime = state.Now();
    sample.fBoatSpeed = static_cast<float>(*boatSpeed);
    Give(sample, false);
}

void LiveReader::Sample(const LogSample& sample) {
    m_bSampleInLine = true;
    m_lastWind = sample;
    Give(sample, true);
}

void LiveReader::Give(const LogSample& sample, bool bWindReading) {
    if (m_pCalculator == nullptr) {
        return;
    }
    const InstrumentState& state = m_parser.State();
    std::optional<double> heading = state.HeadingTrue();
    if (!heading) {
        heading = state.HeadingMagnetic();
    }
    Performance performance = m_pCalculator->Compute(sample, heading);
    performance.bWindReading = bWindReading;
    ++m_nUpdates;
    m_performanceSink(performance);
}
