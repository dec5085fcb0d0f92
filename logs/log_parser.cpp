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
    const std::size_t nDollar = line.find('$');
    if (m_mode != Mode::Csv && nDollar != std::string_view::npos) {
        m_mode = Mode::Nmea;
        Sentence(line.substr(nDollar));
        return;
    }
    if (m_mode == Mode::Unknown && m_csv.ReadHeader(line)) {
        m_mode = Mode::Csv;
        return;
    }
    if (m_mode == Mode::Csv && m_csv.ReadRow(line, m_state)) {
        return;
    }
    m_state.CountBadLine();  // neither a sentence nor a row of a known table
}

void LogParser::Sentence(std::string_view sentence) {
    NmeaFields fields;
    // A proprietary sentence ('P') has no three-letter type.
    if (!SplitNmeaSentence(sentence, fields) || fields[0].size() != 5 || fields[0][0] == 'P') {
        m_state.CountBadLine();
        return;
    }
    const std::string_view type = fields[0].substr(2);
    if (!ReadNmeaSentence(type, fields, m_state)) {
        m_state.CountBadLine();
        return;
    }
    Count(type);
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
