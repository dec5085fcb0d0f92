#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// An NMEA 0183 sentence split at its commas: [0] is the talker and type ("IIMWV"), then the
// data fields; a field past the last is empty. A sentence of more than 24 fields keeps the
// rest, commas and all, in the last.
class NmeaFields {
  public:
    std::size_t Count() const { return m_nCount; }
    // Whether the sentence had a checksum ('*' and what follows), which was then verified.
    bool HasChecksum() const { return m_bChecksum; }
    std::string_view operator[](std::size_t n) const {
        return n < m_nCount ? m_fields[n] : std::string_view();
    }

  private:
    friend bool SplitNmeaSentence(std::string_view sentence, NmeaFields& fields);
    // Only the first m_nCount are set: a sentence is split in one pass, without clearing.
    std::array<std::string_view, 24> m_fields;
    std::size_t m_nCount = 0;
    bool m_bChecksum = false;
};

// Splits a sentence that starts at its '$' and verifies its checksum (the XOR of the characters
// between '$' and '*', as two hex digits after the '*') where it has one. False for a wrong
// checksum or one cut short; a sentence without a '*' has none to verify.
bool SplitNmeaSentence(std::string_view sentence, NmeaFields& fields);

// A sentence as loggers write it: "$" body "*" two hex digits of its checksum.
std::string NmeaSentence(std::string_view body);
