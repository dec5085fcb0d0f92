#include "logs/log_parser.h"

#include "logs/nmea_handlers.h"
#include "logs/nmea_sentence.h"

LogParser::~LogParser() {
    for (std::size_t i = 0; i < m_aTypes.size() && !m_aTypes[i].empty(); ++i) {
        m_counts.sentences[m_aTypes[i]] += m_aTypeCounts[i];
    }
}

void LogParser::Line(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    if (line.find_first_not_of(" \t") == std::string_view::npos) {
        return;
    }
    ++m_counts.nLines;
    // A sentence starts at its '$', or at its '!' when it encapsulates other data (AIS).
    // Two single-character searches are faster than one for either character.
    std::size_t nStart = line.find('$');
    if (nStart == std::string_view::npos) {
        nStart = line.find('!');
    }
    if (m_mode != Mode::Csv && nStart != std::string_view::npos) {
        m_mode = Mode::Nmea;
        Sentence(line.substr(nStart));
        return;
    }
    if (m_mode == Mode::Unknown && m_csv.ReadHeader(line)) {
        m_mode = Mode::Csv;
        return;
    }
    if (m_mode == Mode::Csv && m_csv.ReadRow(line, m_state)) {
        if (m_state.TakeBadReading()) {
            m_state.CountImpossibleValue();
        }
        return;
    }
    m_state.CountBadLine();  // neither a sentence nor a row of a known table
}

void LogParser::Sentence(std::string_view sentence) {
    NmeaFields fields;
    if (!SplitNmeaSentence(sentence, fields)) {
        m_state.CountBadChecksum();
        return;
    }
    // What this reader does not use counts as a sentence only when its checksum vouches for it:
    // without one, it may as well be noise.
    const bool bChecksum = fields.HasChecksum();
    const std::string_view address = fields[0];
    const bool bProprietary = address.size() >= 2 && address[0] == 'P';
    if (sentence[0] == '!' || bProprietary || address.size() != 5) {
        if (bChecksum && (sentence[0] == '!' || bProprietary)) {
            ++m_counts.nOtherSentences;
        } else {
            m_state.CountBadLine();
        }
        return;
    }
    const std::string_view type = address.substr(2);
    switch (ReadNmeaSentence(type, fields, m_state)) {
        case SentenceRead::Read:
            if (m_state.TakeBadReading()) {
                m_state.CountImpossibleValue();
            } else {
                Count(type);
            }
            return;
        case SentenceRead::WithoutValues:
            ++m_counts.nEmptySentences;
            return;
        case SentenceRead::Other:
            if (bChecksum) {
                ++m_counts.nOtherSentences;
            } else {
                m_state.CountBadLine();
            }
            return;
        case SentenceRead::Impossible:
            m_state.CountImpossibleValue();
            return;
        case SentenceRead::Bad:
            m_state.CountBadLine();
            return;
    }
}

void LogParser::Count(std::string_view type) {
    for (std::size_t i = 0; i < m_aTypes.size(); ++i) {
        if (m_aTypes[i] == type) {
            ++m_aTypeCounts[i];
            return;
        }
        if (m_aTypes[i].empty()) {
            m_aTypes[i] = type;
            m_aTypeCounts[i] = 1;
            return;
        }
    }
    ++m_counts.sentences[std::string(type)];
}
