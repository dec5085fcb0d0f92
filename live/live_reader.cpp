#include "live/live_reader.h"

#include <chrono>
#include <utility>

namespace {

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The three letters of a sentence's type ("MWV" of "$IIMWV,..."); empty for what is no
// standard sentence (a CSV row).
std::string_view SentenceType(std::string_view line) {
    const std::size_t nStart = line.find('$');
    if (nStart == std::string_view::npos || line.size() < nStart + 6) {
        return {};
    }
    return line.substr(nStart + 3, 3);
}

}  // namespace

LiveReader::LiveReader(PerformanceSink sink, LiveOptions options)
    : m_performanceSink(std::move(sink)),
      m_options(options),
      m_clock(SteadySeconds),
      m_sampleSink([this](const LogSample& s) { Sample(s); }),
      m_parser(m_counts, m_sampleSink),
      m_damping(options.dDampingSeconds) {
    m_line.reserve(kMaxLine);
    m_parser.SetPlausibleOnly(true);
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
    m_lineType = SentenceType(line);
    m_parser.Line(line);
}

bool LiveReader::Drives(double dLogTime) {
    if (m_driver == m_lineType) {
        m_dDriverTime = dLogTime;
        return true;
    }
    // None yet, or the one there was has fallen silent (or the clock went back): this one.
    if (m_driver.empty() || dLogTime - m_dDriverTime > 2.0 || dLogTime < m_dDriverTime) {
        m_driver = m_lineType;
        m_dDriverTime = dLogTime;
        return true;
    }
    return false;
}

void LiveReader::Sample(const LogSample& sample) {
    if (m_pCalculator == nullptr) {
        return;
    }
    const InstrumentState& state = m_parser.State();
    Headings headings{state.HeadingTrue(), state.HeadingMagnetic()};
    const double dNow = m_clock();
    // Every wind reading moves the average; only the driving one, at the rate allowed, tells.
    const LogSample damped = m_damping.Add(sample, headings, dNow);
    if (!Drives(state.Now())) {
        return;
    }
    if (m_options.dRateHz > 0 && m_bGiven && dNow - m_dLastGiven < 1.0 / m_options.dRateHz) {
        return;
    }
    m_bGiven = true;
    m_dLastGiven = dNow;
    ++m_nUpdates;
    m_performanceSink(m_pCalculator->Compute(damped, headings));
}
