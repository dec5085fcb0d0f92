#include "apps/polarctl/json_text.h"

#include <cmath>

#include "data/number_text.h"

void AppendJsonString(std::string& out, std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    out.push_back('"');
    for (char c : text) {
        const auto uc = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (uc < 0x20) {
                    out += "\\u00";
                    out.push_back(kHex[uc >> 4]);
                    out.push_back(kHex[uc & 0xF]);
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
}

void AppendJsonFloat(std::string& out, float fValue) {
    if (!std::isfinite(fValue)) {
        out += "null";
        return;
    }
    AppendShortestFloat(out, fValue);
}
