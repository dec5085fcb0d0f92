#include "logs/log_text.h"

std::string PrintableText(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(text.size());
    for (const char c : text) {
        const auto uc = static_cast<unsigned char>(c);
        if (c == '\\') {
            s += "\\\\";
        } else if (uc >= 0x20 && uc < 0x7F) {
            s.push_back(c);
        } else {
            s += "\\x";
            s.push_back(kHex[uc >> 4]);
            s.push_back(kHex[uc & 0xF]);
        }
    }
    return s;
}
