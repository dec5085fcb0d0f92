#include "logs/nmea_sentence.h"

namespace {

int HexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : -1;
}

}  // namespace

bool SplitNmeaSentence(std::string_view s, NmeaFields& fields) {
    // One pass: the fields split at the commas, and the checksum taken on the way.
    auto& f = fields.m_fields;
    std::size_t n = 0;
    unsigned char x = 0;
    std::size_t nStart = 1;
    std::size_t i = 1;
    for (; i < s.size() && s[i] != '*'; ++i) {
        x ^= static_cast<unsigned char>(s[i]);
        if (s[i] == ',' && n + 1 < f.size()) {
            f[n++] = s.substr(nStart, i - nStart);
            nStart = i + 1;
        }
    }
    f[n++] = s.substr(nStart, i - nStart);
    fields.m_nCount = n;
    fields.m_bChecksum = i < s.size();
    if (i == s.size()) {
        return true;  // no checksum
    }
    return s.size() >= i + 3 && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0 &&
           x == HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]);
}

std::string NmeaSentence(std::string_view body) {
    unsigned char x = 0;
    for (char c : body) {
        x ^= static_cast<unsigned char>(c);
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string s = "$";
    s.append(body);
    s.push_back('*');
    s.push_back(kHex[x >> 4]);
    s.push_back(kHex[x & 0xF]);
    return s;
}
